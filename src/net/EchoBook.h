#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

namespace pondel {

using EchoClock = std::chrono::steady_clock;

// The echo requests of one batch that still wait for their replies, in the
// order they were sent. A reply answers a request when it comes from the
// request's address with its sequence number within the timeout; every
// request is answered at most once, so duplicates, late replies and replies
// from other senders answer nothing. Requests are known by the index their
// caller gave them.
class EchoBook final {
public:
    explicit EchoBook(EchoClock::duration timeOut);

    void Sent(std::uint64_t index, std::uint32_t address, std::uint16_t sequence,
        EchoClock::time_point at);

    // The index of the request a reply answers; none when it answers nothing
    // that still waits.
    [[nodiscard]] std::optional<std::uint64_t> Answer(
        std::uint32_t address, std::uint16_t sequence, EchoClock::time_point at);

    // Gives up the requests whose wait has run out by `now` and returns
    // their indexes in the order they were sent.
    [[nodiscard]] std::vector<std::uint64_t> Expire(EchoClock::time_point now);

    [[nodiscard]] bool Empty() const noexcept { return entries_.empty(); }

    // When the oldest waiting request gives up; none when none waits.
    [[nodiscard]] std::optional<EchoClock::time_point> NextExpiry() const;

private:
    struct Entry {
        std::uint64_t index = 0;
        std::uint32_t address = 0;
        std::uint16_t sequence = 0;
        EchoClock::time_point sentAt;
        bool answered = false;
    };

    // Entries leave from the front only, once they are answered or have
    // expired, so the front entry always still waits.
    void DropSettledFront();
    void Forget(const Entry& entry, std::uint64_t serial);

    EchoClock::duration timeOut_;
    std::deque<Entry> entries_;
    // Serial numbers count every entry ever sent, so an entry's place in
    // the deque is its serial less the entries dropped before it.
    std::uint64_t dropped_ = 0;
    std::uint64_t nextSerial_ = 0;
    std::unordered_multimap<std::uint32_t, std::uint64_t> serialsByAddress_;
};

} // namespace pondel
