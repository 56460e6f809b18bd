#include "WakeListener.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include "AppSettings.h"
#include "HostList.h"
#include "VendorDirectory.h"
#include "WakeLineBook.h"
#include "WakePayload.h"
#include "WakeReceiver.h"
#include "WakeRequestBuilder.h"

namespace pondel {
namespace {

// The echo and discard ports, which senders of magic packets use most.
constexpr std::uint16_t kWellKnownWakePorts[] = {7, 9};

void AddPort(std::vector<std::uint16_t>& ports, std::uint16_t port)
{
    // Port 0 would bind to a port the system picks.
    if (port != 0 && std::ranges::find(ports, port) == ports.end())
        ports.push_back(port);
}

using HostNameTable = std::map<MacAddress, std::string>;

// A MAC that several rows share names all of them.
std::shared_ptr<const HostNameTable> MakeHostNameTable(const std::vector<ListenedHost>& hosts)
{
    auto table = std::make_shared<HostNameTable>();
    for (const ListenedHost& host : hosts) {
        std::string& names = (*table)[host.mac];
        if (!names.empty())
            names += ", ";
        names += host.hostName;
    }
    return table;
}

// The table is replaced whole, so that the receiving thread holds the mutex
// only to take its pointer.
struct SharedHostNames {
    std::mutex mutex;
    std::shared_ptr<const HostNameTable> table;

    std::shared_ptr<const HostNameTable> Get()
    {
        const std::lock_guard lock(mutex);
        return table;
    }
};

// What the receiving thread alone touches, but for the shared host names.
class PacketReader final {
public:
    PacketReader(WakeListenerEvents& events, std::shared_ptr<SharedHostNames> hostNames,
        VendorDirectory& vendors)
        : events_(events)
        , hostNames_(std::move(hostNames))
        , vendors_(vendors)
    {
    }

    void Read(const ReceivedPacket& packet)
    {
        const std::optional<WakePayload> payload =
            packet.truncated ? std::nullopt : ParseWakePayload(packet.payload);
        if (!payload) {
            events_.OnNotWakePacket(++notWakePackets_);
            return;
        }
        HeardWakePacket heard;
        heard.time = std::chrono::system_clock::now();
        heard.from = packet.from;
        heard.to = packet.to;
        heard.path = packet.path;
        heard.targetMac = FormatMacAddress(payload->target);
        heard.vendor = vendors_.Find(payload->target);
        const std::shared_ptr<const HostNameTable> names = hostNames_->Get();
        if (const auto host = names->find(payload->target); host != names->end())
            heard.hostName = host->second;
        heard.secureOn = payload->secureOnLength != 0;
        events_.OnWakePacket(lines_.Add(heard, packet.sender, WakeLineBook::Clock::now()));
    }

private:
    WakeListenerEvents& events_;
    const std::shared_ptr<SharedHostNames> hostNames_;
    VendorDirectory& vendors_;
    WakeLineBook lines_;
    std::uint64_t notWakePackets_ = 0;
};

} // namespace

ListenOptions ListenOptionsOf(const AppSettings& settings)
{
    ListenOptions options;
    for (const std::uint16_t port : kWellKnownWakePorts)
        AddPort(options.udpPorts, port);
    // The port as a wake-up's socket address holds it: the low 16 bits.
    AddPort(options.udpPorts, static_cast<std::uint16_t>(settings.portNo));
    for (const std::uint16_t port : ExtraPorts(settings.wakeExtraPorts))
        AddPort(options.udpPorts, port);
    return options;
}

std::vector<ListenedHost> ListenedHostsOf(const HostList& hosts)
{
    std::vector<ListenedHost> listened;
    for (const tHostInfo& host : hosts) {
        ListenedHost entry;
        if (ParseMacAddress(FieldText(host.macAddr), entry.mac) == 0) {
            entry.hostName = std::string(FieldText(host.hostName));
            listened.push_back(std::move(entry));
        }
    }
    return listened;
}

std::string ListenFailureText(const ListenFailure& failure)
{
    if (failure.howToAllow.empty())
        return failure.error.message;
    return failure.error.message + "; " + failure.howToAllow;
}

struct WakeListener::HostNames : SharedHostNames { };

struct WakeListener::State {
    std::unique_ptr<WakeReceiver> receiver;
    std::jthread thread;
};

WakeListener::WakeListener(WakeListenerEvents& events, std::vector<ListenedHost> hosts)
    : events_(events)
    , hostNames_(std::make_shared<HostNames>())
    , ownVendors_(std::make_unique<VendorDirectory>())
    , vendors_(*ownVendors_)
{
    SetHosts(hosts);
}

WakeListener::WakeListener(
    WakeListenerEvents& events, std::vector<ListenedHost> hosts, VendorDirectory& vendors)
    : events_(events)
    , hostNames_(std::make_shared<HostNames>())
    , vendors_(vendors)
{
    SetHosts(hosts);
}

WakeListener::~WakeListener()
{
    Stop();
}

Result<WakeListener::Opened> WakeListener::Start(const ListenOptions& options)
{
    Stop();
    Result<std::unique_ptr<WakeReceiver>> created = WakeReceiver::Create();
    if (!created)
        return created.Error();
    std::unique_ptr<WakeReceiver> receiver = std::move(created).Value();
    WakeReceiver::Opening opening = receiver->Open(options.udpPorts, options.etherFrames);

    Opened opened;
    opened.listening = std::move(opening.listening);
    for (ReceiveFailure& failure : opening.failures)
        opened.failures.push_back(
            {std::move(failure.what), std::move(failure.error), std::move(failure.howToAllow)});
    if (!receiver->IsListening()) {
        ErrorInfo error{0, "Nothing could be opened to listen for wake packets."};
        for (const ListenFailure& failure : opened.failures) {
            error.code = error.code != 0 ? error.code : failure.error.code;
            error.message += '\n' + ListenFailureText(failure);
        }
        return error;
    }
    // The names are ready by the time the first packets come, mostly.
    vendors_.StartReading();
    auto state = std::make_unique<State>();
    state->receiver = std::move(receiver);
    // The reader lives on the thread, which alone touches it.
    state->thread =
        std::jthread([receiver = state->receiver.get(),
                         reader = PacketReader(events_, hostNames_, vendors_)]() mutable {
            receiver->Receive([&reader](const ReceivedPacket& packet) { reader.Read(packet); });
        });
    state_ = std::move(state);
    return opened;
}

void WakeListener::SetHosts(const std::vector<ListenedHost>& hosts)
{
    std::shared_ptr<const HostNameTable> table = MakeHostNameTable(hosts);
    const std::lock_guard lock(hostNames_->mutex);
    hostNames_->table = std::move(table);
}

void WakeListener::Stop()
{
    if (!state_)
        return;
    state_->receiver->Interrupt();
    state_->thread.join();
    state_.reset();
}

} // namespace pondel
