#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "TestNetwork.h"

namespace pondel::test {

// A machine asleep at the far end of a peer: it listens for magic packets on
// UDP 7 and 9, and when one carries its MAC it "boots": after `bootTime` it
// adds `address` to its interface and answers ping there from then on. The
// peer's own address stands for the network card that listens while the
// machine sleeps. The first `packetsToMiss` packets for its MAC are lost,
// as on a busy switch.
class SleepingMachine final {
public:
    using Clock = std::chrono::steady_clock;

    SleepingMachine(const Peer& peer, std::string address, std::array<std::uint8_t, 6> mac,
        std::chrono::milliseconds bootTime, int packetsToMiss = 0);
    ~SleepingMachine();
    SleepingMachine(const SleepingMachine&) = delete;
    SleepingMachine& operator=(const SleepingMachine&) = delete;

    // When its address appeared; none while it sleeps.
    [[nodiscard]] std::optional<Clock::time_point> AwokeAt();
    // Packets that carried its MAC, the lost ones included.
    [[nodiscard]] int PacketsForIt() const noexcept { return packetsForIt_; }

private:
    void Listen(std::stop_token stop);
    [[nodiscard]] bool CarriesMac(const std::optional<Datagram>& datagram) const;

    const Peer peer_;
    const std::string address_; // "198.51.100.2/24"
    const std::array<std::uint8_t, 6> mac_;
    const std::chrono::milliseconds bootTime_;
    const int packetsToMiss_;
    DatagramSink echoPort_;
    DatagramSink discardPort_;
    std::atomic<int> packetsForIt_{0};
    std::mutex mutex_;
    std::optional<Clock::time_point> awokeAt_;
    std::jthread thread_;
};

// Our side's interface asks again for a neighbour's address every 100 ms
// rather than every second, so that a machine that has just booted is found
// by the next probe.
void QuickNeighbourProbes(const Peer& peer);

} // namespace pondel::test
