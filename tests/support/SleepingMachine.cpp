#include "SleepingMachine.h"

#include <algorithm>

namespace pondel::test {
namespace {

constexpr std::size_t kMagicPacketSize = 102;

} // namespace

SleepingMachine::SleepingMachine(const Peer& peer, std::string address,
    std::array<std::uint8_t, 6> mac, std::chrono::milliseconds bootTime, int packetsToMiss)
    : peer_(peer)
    , address_(std::move(address))
    , mac_(mac)
    , bootTime_(bootTime)
    , packetsToMiss_(packetsToMiss)
    , echoPort_(peer.ns, 7)
    , discardPort_(peer.ns, 9)
    , thread_([this](std::stop_token stop) { Listen(std::move(stop)); })
{
}

SleepingMachine::~SleepingMachine()
{
    thread_.request_stop();
    thread_.join();
}

std::optional<SleepingMachine::Clock::time_point> SleepingMachine::AwokeAt()
{
    const std::scoped_lock lock(mutex_);
    return awokeAt_;
}

bool SleepingMachine::CarriesMac(const std::optional<Datagram>& datagram) const
{
    if (!datagram || datagram->payload.size() < kMagicPacketSize)
        return false;
    return std::equal(mac_.begin(), mac_.end(), datagram->payload.begin() + 6);
}

void SleepingMachine::Listen(std::stop_token stop)
{
    using namespace std::chrono_literals;
    while (!stop.stop_requested()) {
        if (!CarriesMac(echoPort_.Receive(20ms)) && !CarriesMac(discardPort_.Receive(20ms)))
            continue;
        if (++packetsForIt_ <= packetsToMiss_)
            continue;
        const Clock::time_point bootEnds = Clock::now() + bootTime_;
        while (Clock::now() < bootEnds && !stop.stop_requested())
            std::this_thread::sleep_for(10ms);
        if (stop.stop_requested())
            return;
        TestNetwork::RunIn(peer_.ns, {"addr", "add", address_, "dev", peer_.peerIf});
        const std::scoped_lock lock(mutex_);
        awokeAt_ = Clock::now();
        return;
    }
}

void QuickNeighbourProbes(const Peer& peer)
{
    WriteSysctl("", "net/ipv4/neigh/" + peer.localIf + "/retrans_time_ms", "100");
}

} // namespace pondel::test
