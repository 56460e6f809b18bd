#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "HostInfo.h"

namespace pondel {

// Host rows as clipboard text: one host a line, its five texts joined by
// commas as they are, lines joined by LF with none after the last.
[[nodiscard]] std::string FormatClipboardRows(std::span<const tHostInfo> hosts);

struct ClipboardPaste {
    std::vector<tHostInfo> hosts; // the well-formed lines before any faulty one
    bool formatError = false;     // reading stopped at a malformed line
};

// Reads clipboard text line by line until its end (or a NUL) or the first
// malformed line. A line holds host name, comment, IP address and netmask,
// each ended by a comma, then the MAC address up to the line's LF. The
// addresses must be empty or dotted addresses (255.255.255.255 is refused),
// the MAC address one that parses, or empty at the very end of the text. A
// CR before the LF stays in the MAC address text. A text longer than its
// record field holds makes the line malformed, rather than being cut.
[[nodiscard]] ClipboardPaste ParseClipboardRows(std::string_view text);

} // namespace pondel
