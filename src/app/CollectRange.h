#pragma once

#include <cstdint>
#include <optional>

#include "AppSettings.h"
#include "LocalNetworkQueries.h"

namespace pondel {

// The addresses of one collection, host order; start and end are both swept.
struct CollectRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t netMask = 0;

    friend bool operator==(const CollectRange&, const CollectRange&) = default;
};

// What the range dialog shows and gives back.
struct CollectRequest {
    CollectRange range;
    std::uint32_t timeOut = 0; // milliseconds

    friend bool operator==(const CollectRequest&, const CollectRequest&) = default;
};

// The range the dialog proposes: COLLECT_HOST_ADDR_START, COLLECT_HOST_ADDR_END
// and COLLECT_HOST_NET_MASK where set, and COLLECT_HOST_ICMP_TIME_OUT. An unset
// netmask is the one assumed for this computer's address; an unset start or
// end is the first or last address of that network short of its network and
// broadcast addresses. An error, with its reason, when this computer has no
// address.
[[nodiscard]] Result<CollectRequest> ProposeCollectRequest(
    const AppSettings& settings, const LocalNetworkQueries& local);

// The range as it is swept: a start above the end (unsigned) trades places
// with it.
[[nodiscard]] CollectRequest OrderCollectRequest(CollectRequest request);

// Remembers an accepted collection for next time: start and end as dotted
// texts, and the timeout. The netmask serves this collection only.
void StoreCollectRequest(const CollectRequest& request, AppSettings& settings);

// How many addresses the range holds; 2^32 for the whole address space, so
// it does not fit 32 bits.
[[nodiscard]] std::uint64_t AddressCount(const CollectRange& range);

} // namespace pondel
