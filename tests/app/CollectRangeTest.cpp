#include "CollectRange.h"

#include <vector>

#include <gtest/gtest.h>

#include "Ipv4Text.h"

namespace pondel {
namespace {

CollectRequest Request(const char* start, const char* end, const char* mask, std::uint32_t timeOut)
{
    return {{TextToIp(start), TextToIp(end), TextToIp(mask)}, timeOut};
}

// Proposes a sweep with this computer at `own`, whose network the system
// gives `mask`; `asked` keeps the addresses the netmask was asked for.
std::optional<CollectRequest> Proposed(const AppSettings& settings, const char* own,
    std::uint32_t mask, std::vector<std::uint32_t>* asked = nullptr)
{
    const Result<CollectRequest> proposed = ProposeCollectRequest(settings,
        {[own] { return own == nullptr ? 0 : TextToIp(own); },
            [mask, asked](std::uint32_t of) {
                if (asked != nullptr)
                    asked->push_back(of);
                return mask;
            }});
    if (!proposed)
        return std::nullopt;
    return proposed.Value();
}

TEST(CollectRangeTest, UnsetRangeIsTheLocalNetworkWithoutItsNetworkAndBroadcastAddresses)
{
    AppSettings settings;
    settings.collectHostIcmpTimeOut = 250;
    std::vector<std::uint32_t> asked;
    EXPECT_EQ(Proposed(settings, "192.0.2.20", 0xFFFFFF00u, &asked),
        Request("192.0.2.1", "192.0.2.254", "255.255.255.0", 250));
    EXPECT_EQ(asked, std::vector<std::uint32_t>{TextToIp("192.0.2.20")});
    EXPECT_EQ(Proposed(settings, "198.51.100.20", 0xFFFF0000u),
        Request("198.51.0.1", "198.51.255.254", "255.255.0.0", 250));
}

TEST(CollectRangeTest, StoredValuesWinAndAnUnsetEndFollowsTheStoredNetmask)
{
    AppSettings settings;
    settings.collectHostAddrStart = "192.0.2.40";
    settings.collectHostNetMask = "255.255.255.128";
    std::vector<std::uint32_t> asked;
    EXPECT_EQ(Proposed(settings, "192.0.2.20", 0xFFFFFF00u, &asked),
        Request("192.0.2.40", "192.0.2.126", "255.255.255.128", 30));
    EXPECT_TRUE(asked.empty());

    settings.collectHostAddrEnd = "192.0.2.9";
    settings.collectHostNetMask.clear();
    EXPECT_EQ(Proposed(settings, "192.0.2.20", 0xFFFFFF00u),
        Request("192.0.2.40", "192.0.2.9", "255.255.255.0", 30));
    // Without a local address nothing is proposed.
    EXPECT_EQ(Proposed(settings, nullptr, 0xFFFFFF00u), std::nullopt);
}

TEST(CollectRangeTest, AReversedRangeIsSweptAndStoredInOrderButTheNetmaskIsNotStored)
{
    const CollectRequest ordered =
        OrderCollectRequest(Request("203.0.113.200", "203.0.113.7", "255.255.255.0", 80));
    EXPECT_EQ(ordered, Request("203.0.113.7", "203.0.113.200", "255.255.255.0", 80));
    // Above 2^31 the order must still be unsigned.
    EXPECT_EQ(OrderCollectRequest(Request("203.0.113.7", "10.0.0.1", "255.0.0.0", 1)),
        Request("10.0.0.1", "203.0.113.7", "255.0.0.0", 1));

    AppSettings settings;
    settings.collectHostNetMask = "255.255.0.0";
    StoreCollectRequest(ordered, settings);
    EXPECT_EQ(settings.collectHostAddrStart, "203.0.113.7");
    EXPECT_EQ(settings.collectHostAddrEnd, "203.0.113.200");
    EXPECT_EQ(settings.collectHostIcmpTimeOut, 80u);
    EXPECT_EQ(settings.collectHostNetMask, "255.255.0.0");
}

TEST(CollectRangeTest, AddressCountCoversOneAddressAndTheWholeSpace)
{
    const auto count = [](const char* start, const char* end) {
        return AddressCount({TextToIp(start), TextToIp(end), 0xFFFFFF00u});
    };
    EXPECT_EQ(count("192.0.2.9", "192.0.2.9"), 1u);
    EXPECT_EQ(count("192.0.2.1", "192.0.2.254"), 254u);
    EXPECT_EQ(count("0.0.0.0", "255.255.255.255"), std::uint64_t{1} << 32);
    EXPECT_EQ(count("192.0.2.9", "192.0.2.8"), 0u);
}

} // namespace
} // namespace pondel
