#include "WakeLineBook.h"

#include <algorithm>

namespace pondel {
namespace {

bool SamePacket(const HeardWakePacket& a, const HeardWakePacket& b)
{
    return a.to == b.to && a.path == b.path && a.targetMac == b.targetMac &&
        a.secureOn == b.secureOn;
}

} // namespace

const HeardWakePacket& WakeLineBook::Add(
    const HeardWakePacket& packet, std::string_view sender, Clock::time_point now)
{
    // Lines open in the order of time, so the closed ones lead.
    const auto closed = std::ranges::find_if(
        open_, [&](const OpenLine& open) { return now - open.opened < kRepeatWindow; });
    open_.erase(open_.begin(), closed);
    const auto same = std::ranges::find_if(open_, [&](const OpenLine& open) {
        return open.sender == sender && SamePacket(open.line, packet);
    });
    if (same != open_.end()) {
        ++same->line.repeats;
        return same->line;
    }
    OpenLine& opened = open_.emplace_back(OpenLine{packet, std::string(sender), now});
    opened.line.line = ++lastLine_;
    opened.line.repeats = 1;
    return opened.line;
}

} // namespace pondel
