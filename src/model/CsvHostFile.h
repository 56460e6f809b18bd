#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "HostList.h"

namespace pondel {

// The host list's exchange file: a header line, then one line per host with
// its row number and its five texts in double quotes. Lines end in CR LF.
inline constexpr std::string_view kCsvHeaderLine =
    "HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR";

// One host's line, without its line end. A double quote inside a text is
// written doubled, so that the line reads back as it was written.
[[nodiscard]] std::string FormatCsvHostLine(std::int32_t row, const tHostInfo& host);

// The whole file for a list: the header and every host in list order.
[[nodiscard]] std::string FormatCsvHostList(const HostList& hosts);

// Reads one line leniently: a row number that is empty or a whole
// non-negative decimal number, host name, comment, IP address and netmask
// each followed by a further field, and a non-empty IP address. The MAC
// address is taken as it is, cut to 31 characters, and fields after it are
// ignored. None for a line that does not qualify, the header included.
[[nodiscard]] std::optional<tHostInfo> ParseCsvHostLine(std::string_view line);

struct CsvImportResult {
    std::int32_t added = 0;
    bool reachedLimit = false; // the list reached maxHostNum rows, before or while reading
};

// Appends the qualifying lines of a file's text to hosts until the list holds
// maxHostNum rows. A UTF-8 byte-order mark at the start is skipped. Lines
// longer than 1023 characters are read in pieces of that size, each judged
// as a line of its own.
[[nodiscard]] CsvImportResult ImportCsvHostList(
    std::string_view fileText, HostList& hosts, std::uint32_t maxHostNum);

} // namespace pondel
