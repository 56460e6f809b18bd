#include "EchoBook.h"

namespace pondel {

EchoBook::EchoBook(EchoClock::duration timeOut)
    : timeOut_(timeOut)
{
}

void EchoBook::Sent(
    std::uint64_t index, std::uint32_t address, std::uint16_t sequence, EchoClock::time_point at)
{
    entries_.push_back({index, address, sequence, at, false});
    serialsByAddress_.emplace(address, nextSerial_++);
}

std::optional<std::uint64_t> EchoBook::Answer(
    std::uint32_t address, std::uint16_t sequence, EchoClock::time_point at)
{
    const auto [first, last] = serialsByAddress_.equal_range(address);
    for (auto it = first; it != last; ++it) {
        Entry& entry = entries_[it->second - dropped_];
        if (entry.answered || entry.sequence != sequence || at - entry.sentAt > timeOut_)
            continue;
        entry.answered = true;
        const std::uint64_t index = entry.index;
        DropSettledFront();
        return index;
    }
    return std::nullopt;
}

std::vector<std::uint64_t> EchoBook::Expire(EchoClock::time_point now)
{
    std::vector<std::uint64_t> expired;
    while (!entries_.empty() && now - entries_.front().sentAt > timeOut_) {
        expired.push_back(entries_.front().index);
        Forget(entries_.front(), dropped_);
        entries_.pop_front();
        ++dropped_;
        DropSettledFront();
    }
    return expired;
}

std::optional<EchoClock::time_point> EchoBook::NextExpiry() const
{
    if (entries_.empty())
        return std::nullopt;
    return entries_.front().sentAt + timeOut_;
}

void EchoBook::DropSettledFront()
{
    while (!entries_.empty() && entries_.front().answered) {
        Forget(entries_.front(), dropped_);
        entries_.pop_front();
        ++dropped_;
    }
}

void EchoBook::Forget(const Entry& entry, std::uint64_t serial)
{
    const auto [first, last] = serialsByAddress_.equal_range(entry.address);
    for (auto it = first; it != last; ++it) {
        if (it->second == serial) {
            serialsByAddress_.erase(it);
            return;
        }
    }
}

} // namespace pondel
