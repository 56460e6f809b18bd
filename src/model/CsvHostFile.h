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

// The extended file adds three fields after the MAC address: the host's
// group, its wake-up interface and its SecureOn password.
inline constexpr std::string_view kCsvExtendedHeaderLine =
    "HOST_NO, HOST_NAME, COMMENT, IP_ADDR, NET_MASK, MAC_ADDR, GROUP, INTERFACE, SECURE_ON";

enum class CsvFlavour {
    kPlain,      // the five texts, which any copy of the program reads
    kWithGroups, // the five texts, then group, interface and SecureOn
};

// One host's line, without its line end. A double quote inside a text is
// written doubled, so that the line reads back as it was written.
[[nodiscard]] std::string FormatCsvHostLine(
    std::int32_t row, const tHostInfo& host, CsvFlavour flavour = CsvFlavour::kPlain);

// The whole file for a list: the header and every host in list order.
[[nodiscard]] std::string FormatCsvHostList(
    const HostList& hosts, CsvFlavour flavour = CsvFlavour::kPlain);

// Reads one line leniently: a row number that is empty or a whole
// non-negative decimal number, host name, comment, IP address and netmask
// each followed by a further field, an IP address that is not empty or
// blank, and a MAC address that is empty or parses. The MAC address is read
// to 31 characters and kept in its canonical form. In a plain line the
// fields after it are ignored; kWithGroups reads the group, interface and
// SecureOn password after it (empty when left out), each without blanks
// around it, and refuses the line when one of them could not be entered in
// the host edit dialog: a group name IsValidGroupName refuses, an interface
// name IsValidInterfaceName refuses, or a SecureOn password that is not six
// byte pairs (kept in the canonical form of a MAC address). None for a line
// that does not qualify, the header included.
[[nodiscard]] std::optional<tHostInfo> ParseCsvHostLine(
    std::string_view line, CsvFlavour flavour = CsvFlavour::kPlain);

// Whether two hosts are the same one listed twice: the same MAC address, or
// the same name and address. Letters match without regard to case.
[[nodiscard]] bool IsSameHost(const tHostInfo& a, const tHostInfo& b) noexcept;

enum class CsvDuplicates {
    kAdd,  // a host already in the list is added again
    kSkip, // a host already in the list is left out
};

struct CsvImportResult {
    std::int32_t added = 0;
    bool reachedLimit = false; // the list reached maxHostNum rows, before or while reading
    std::int32_t malformed =
        0; // lines that are no host; blank lines and the header are not counted
    std::int32_t overLimit = 0;  // host lines left out because the list was full
    std::int32_t duplicates = 0; // host lines already in the list before the import (IsSameHost)
};

// Appends the qualifying lines of a file's text to hosts until the list holds
// maxHostNum rows; the lines after that are counted, not added. The lines
// after an extended header (kCsvExtendedHeaderLine) read as kWithGroups,
// all others as plain ones. A UTF-8 byte-order mark at the start is skipped. Lines longer than 1023
// characters are read in pieces of that size, each judged as a line of its own.
[[nodiscard]] CsvImportResult ImportCsvHostList(std::string_view fileText, HostList& hosts,
    std::uint32_t maxHostNum, CsvDuplicates duplicates = CsvDuplicates::kAdd);

// How many host lines of a file's text are already in the list, so that
// the user can be asked before the import whether to add them again.
[[nodiscard]] std::int32_t CountCsvDuplicates(std::string_view fileText, const HostList& hosts);

} // namespace pondel
