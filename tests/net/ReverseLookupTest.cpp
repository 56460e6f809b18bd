#include "ReverseLookup.h"

#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Ipv4Text.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

// The hosts file answers; the test's private network has no route to any
// name server, so DNS finds nothing.
const std::string kLongName(200, 'n');
const std::string kHosts = "192.0.2.7 alpha.example alpha\n"
                           "192.0.2.8 " +
    kLongName + "\n";

TEST(ReverseLookupTest, GivesTheOfficialNameOrNone)
{
    const int ok = test::RunWithHostName("pondel-test", kHosts, [] {
        EXPECT_EQ(ReverseLookupName(TextToIp("192.0.2.7")), "alpha.example");
        EXPECT_EQ(ReverseLookupName(TextToIp("192.0.2.8")), kLongName);
        EXPECT_EQ(ReverseLookupName(TextToIp("192.0.2.9")), std::nullopt);
        return 1;
    });
    EXPECT_EQ(ok, 1);
}

TEST(ReverseLookupTest, LookupsOnSeveralThreadsAtOnceKeepTheirOwnAnswers)
{
    const int wrong = test::RunWithHostName("pondel-test", kHosts, [] {
        std::vector<int> wrongPerThread(4, 0);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([t, &wrongPerThread] {
                const bool alpha = t % 2 == 0;
                const std::uint32_t address = TextToIp(alpha ? "192.0.2.7" : "192.0.2.8");
                const std::string expected = alpha ? "alpha.example" : kLongName;
                for (int i = 0; i < 200; ++i)
                    wrongPerThread[t] += ReverseLookupName(address) == expected ? 0 : 1;
            });
        }
        for (std::thread& thread : threads)
            thread.join();
        int total = 0;
        for (int count : wrongPerThread)
            total += count;
        return total;
    });
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace pondel
