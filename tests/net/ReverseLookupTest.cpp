#include "ReverseLookup.h"

#include <string>

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

} // namespace
} // namespace pondel
