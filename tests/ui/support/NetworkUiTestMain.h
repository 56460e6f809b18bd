#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sched.h>

#include <QApplication>
#include <QTest>

// The entry point of a window test that builds networks: the process first
// moves into a network namespace of its own, holding only loopback, before
// any thread exists, so that nothing it sends can reach the machine's real
// network. Where no namespace can be had the test is skipped (77).
#define PONDEL_NETWORK_UI_TEST_MAIN(TestClass)                                                     \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (unshare(CLONE_NEWNET) != 0) {                                                          \
            const int error = errno;                                                               \
            std::fprintf(stderr, "skipped: network tests need a private network namespace: %s\n",  \
                std::strerror(error));                                                             \
            return error == EPERM ? 77 : 1;                                                        \
        }                                                                                          \
        QApplication application(argc, argv);                                                      \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
