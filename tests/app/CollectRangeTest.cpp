#include "CollectRange.h"

#include <vector>

#include <gtest/gtest.h>

#include "Ipv4Text.h"

namespace pondel {
namespace {

constexpr std::uint32_t kMask24 = 0xFFFFFF00u;

// This computer at `address`, whose network the system gives `mask`; the
// addresses the netmask was asked for are kept.
struct FakeLocal {
    explicit FakeLocal(std::uint32_t ownAddress, std::uint32_t ownMask = kMask24)
        : address(ownAddress)
        , mask(ownMask)
    {
    }

    std::uint32_t address;
    std::uint32_t mask;
    std::vector<std::uint32_t> maskAskedFor;

    LocalNetworkQueries Queries()
    {
        return {[this] { return address; },
            [this](std::uint32_t of) {
                maskAskedFor.push_back(of);
                return mask;
            }};
    }
};

CollectRequest Request(const char* start, const char* end, const char* mask, std::uint32_t timeOut)
{
    return {{TextToIp(start), TextToIp(end), TextToIp(mask)}, timeOut};
}

TEST(CollectRangeTest, UnsetRangeIsTheLocalNetworkWithoutItsNetworkAndBroadcastAddresses)
{
    AppSettings settings;
    settings.collectHostIcmpTimeOut = 250;
    FakeLocal local{TextToIp("192.0.2.20")};
    EXPECT_EQ(ProposeCollectRequest(settings, local.Queries()),
        Request("192.0.2.1", "192.0.2.254", "255.255.255.0", 250));
    EXPECT_EQ(local.maskAskedFor, std::vector<std::uint32_t>{TextToIp("192.0.2.20")});

    local = FakeLocal{TextToIp("198.51.100.20"), 0xFFFF0000u};
    EXPECT_EQ(ProposeCollectRequest(settings, local.Queries()),
        Request("198.51.0.1", "198.51.255.254", "255.255.0.0", 250));
}

TEST(CollectRangeTest, StoredValuesWinAndAnUnsetEndFollowsTheStoredNetmask)
{
    AppSettings settings;
    settings.collectHostAddrStart = "192.0.2.40";
    settings.collectHostNetMask = "255.255.255.128";
    FakeLocal local{TextToIp("192.0.2.20")};
    EXPECT_EQ(ProposeCollectRequest(settings, local.Queries()),
        Request("192.0.2.40", "192.0.2.126", "255.255.255.128", 30));
    EXPECT_TRUE(local.maskAskedFor.empty());

    settings.collectHostAddrEnd = "192.0.2.9";
    settings.collectHostNetMask.clear();
    EXPECT_EQ(ProposeCollectRequest(settings, local.Queries()),
        Request("192.0.2.40", "192.0.2.9", "255.255.255.0", 30));
}

TEST(CollectRangeTest, WithoutALocalAddressNothingIsProposed)
{
    AppSettings settings;
    settings.collectHostAddrStart = "192.0.2.1";
    settings.collectHostAddrEnd = "192.0.2.9";
    FakeLocal local{0};
    EXPECT_EQ(ProposeCollectRequest(settings, local.Queries()), std::nullopt);
}

TEST(CollectRangeTest, AReversedRangeIsSweptAndStoredInOrderButTheNetmaskIsNotStored)
{
    AppSettings settings;
    settings.collectHostNetMask = "";
    const CollectRequest ordered =
        OrderCollectRequest(Request("203.0.113.200", "203.0.113.7", "255.255.255.0", 80));
    EXPECT_EQ(ordered, Request("203.0.113.7", "203.0.113.200", "255.255.255.0", 80));
    // Above 2^31 the order must still be unsigned.
    EXPECT_EQ(OrderCollectRequest(Request("203.0.113.7", "10.0.0.1", "255.0.0.0", 1)),
        Request("10.0.0.1", "203.0.113.7", "255.0.0.0", 1));

    StoreCollectRequest(ordered, settings);
    EXPECT_EQ(settings.collectHostAddrStart, "203.0.113.7");
    EXPECT_EQ(settings.collectHostAddrEnd, "203.0.113.200");
    EXPECT_EQ(settings.collectHostIcmpTimeOut, 80u);
    EXPECT_EQ(settings.collectHostNetMask, "");
}

TEST(CollectRangeTest, AddressCountCoversOneAddressAndTheWholeSpace)
{
    EXPECT_EQ(AddressCount({TextToIp("192.0.2.9"), TextToIp("192.0.2.9"), kMask24}), 1u);
    EXPECT_EQ(AddressCount({TextToIp("192.0.2.1"), TextToIp("192.0.2.254"), kMask24}), 254u);
    EXPECT_EQ(AddressCount({0, 0xFFFFFFFFu, 0}), std::uint64_t{1} << 32);
    EXPECT_EQ(AddressCount({TextToIp("192.0.2.9"), TextToIp("192.0.2.8"), kMask24}), 0u);
}

} // namespace
} // namespace pondel
