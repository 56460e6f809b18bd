// Entry point of every test that builds networks. The process first moves
// into a network namespace of its own, holding only loopback, so that its
// packets can never reach the machine's real network and tests running side
// by side do not see each other's interfaces.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sched.h>

#include <gtest/gtest.h>

namespace {

// What CTest reads as a skipped test (SKIP_RETURN_CODE).
constexpr int kSkipped = 77;

} // namespace

int main(int argc, char** argv)
{
    if (unshare(CLONE_NEWNET) != 0) {
        // An ordinary user may not make namespaces: skip rather than fail,
        // and never fall back to the real network.
        const int error = errno;
        std::fprintf(stderr,
            "skipped: network tests need a private network namespace (run as root): %s\n",
            std::strerror(error));
        return error == EPERM ? kSkipped : 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
