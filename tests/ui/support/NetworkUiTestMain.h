#pragma once

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>

#include "TestNetwork.h"

namespace pondel::test {

// What CTest reads as a skipped test (SKIP_RETURN_CODE).
inline constexpr int kSkippedTest = 77;

// Moves the whole process, before Qt starts any thread, into network, mount
// and host-name namespaces of its own: only loopback is there, so nothing
// can reach the machine's real network, and every thread, the lookup pool's
// included, sees `hostName` as this computer's name and `hostsFile` as
// /etc/hosts. 0 when ready, else the exit code to end with.
inline int EnterLookupLab(const std::string& hostName, const std::string& hostsFile)
{
    if (unshare(CLONE_NEWNET | CLONE_NEWNS | CLONE_NEWUTS) != 0) {
        const int error = errno;
        std::fprintf(stderr, "skipped: network tests need private namespaces (run as root): %s\n",
            std::strerror(error));
        return error == EPERM ? kSkippedTest : 1;
    }
    const std::string path = "/tmp/pondel-ui-hosts-" + std::to_string(getpid());
    std::ofstream(path) << hostsFile;
    const bool ready = mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        mount(path.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0 &&
        sethostname(hostName.data(), hostName.size()) == 0;
    std::filesystem::remove(path);
    if (!ready) {
        std::perror("cannot prepare the lookup lab");
        return 1;
    }
    MustRun({"ip", "link", "set", "lo", "up"});
    return 0;
}

} // namespace pondel::test

// main() of a Qt Test that builds namespace networks and answers names from
// its own hosts file.
#define PONDEL_NETWORK_UI_TEST_MAIN(TestClass, hostName, hostsFile)                                \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (const int code = pondel::test::EnterLookupLab(hostName, hostsFile))                    \
            return code;                                                                           \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
