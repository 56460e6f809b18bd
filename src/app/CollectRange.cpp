#include "CollectRange.h"

#include <string>
#include <utility>

#include "Ipv4Text.h"

namespace pondel {
namespace {

// An empty text stands for "not set".
std::uint32_t AddressSetting(const std::string& text)
{
    return text.empty() ? 0 : TextToIp(text);
}

} // namespace

Result<CollectRequest> ProposeCollectRequest(
    const AppSettings& settings, const LocalNetworkQueries& local)
{
    const Result<std::uint32_t> own = local.localHostAddress();
    if (!own)
        return own.Error();
    const std::uint32_t localAddress = own.Value();
    if (localAddress == 0)
        return ErrorInfo{0, "This computer has no IPv4 address."};

    CollectRequest request;
    request.timeOut = settings.collectHostIcmpTimeOut;
    CollectRange& range = request.range;
    range.start = AddressSetting(settings.collectHostAddrStart);
    range.end = AddressSetting(settings.collectHostAddrEnd);
    range.netMask = settings.collectHostNetMask.empty() ? local.netMask(localAddress)
                                                        : TextToIp(settings.collectHostNetMask);
    if (range.start == 0)
        range.start = (range.netMask & localAddress) + 1;
    if (range.end == 0)
        range.end = (~range.netMask | localAddress) - 1;
    return request;
}

CollectRequest OrderCollectRequest(CollectRequest request)
{
    if (request.range.start > request.range.end)
        std::swap(request.range.start, request.range.end);
    return request;
}

void StoreCollectRequest(const CollectRequest& request, AppSettings& settings)
{
    settings.collectHostAddrStart = IpToText(request.range.start);
    settings.collectHostAddrEnd = IpToText(request.range.end);
    settings.collectHostIcmpTimeOut = request.timeOut;
}

std::uint64_t AddressCount(const CollectRange& range)
{
    if (range.start > range.end)
        return 0;
    return std::uint64_t{range.end} - range.start + 1;
}

} // namespace pondel
