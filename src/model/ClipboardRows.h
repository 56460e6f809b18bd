#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "HostInfo.h"

namespace pondel {

// Host rows as clipboard text: one host a line, its five texts joined by
// commas, lines joined by LF with none after the last. A text holding a
// comma, a tab or a double quote is written in double quotes, its quotes
// doubled, as the export file writes it; every other text as it is.
[[nodiscard]] std::string FormatClipboardRows(std::span<const tHostInfo> hosts);

struct ClipboardPaste {
    std::vector<tHostInfo> hosts; // the well-formed lines before any faulty one
    bool formatError = false;     // reading stopped at a malformed line
};

// Reads clipboard text line by line until its end (or a NUL) or the first
// malformed line. A line holds host name, comment, IP address, netmask and
// MAC address, split by commas, or by tabs as spreadsheets copy their rows;
// a field in double quotes may hold the separator. A line of the export
// file, its row number first, reads as well, and the file's header line is
// passed over. A CR before the LF is dropped. The IP address must be a
// dotted address (255.255.255.255 is refused, and so is an empty one, since
// a host without an address cannot be kept), the netmask one or empty, the
// MAC address one that parses, kept in its canonical form, or empty. A text
// longer than its record field holds makes the line malformed, rather than
// being cut.
[[nodiscard]] ClipboardPaste ParseClipboardRows(std::string_view text);

} // namespace pondel
