#include "CsvHostFile.h"

#include <charconv>
#include <string>
#include <unordered_set>

#include "AsciiText.h"
#include "CsvField.h"
#include "LineEnds.h"
#include "HostGroups.h"
#include "MacAddress.h"
#include "WakeOptionTexts.h"

namespace pondel {
namespace {

// Field capacities of a read. A field reader counts the comma that ends a
// field, and keeps room for a terminator, so a capacity two above a record
// field's length takes every text the record can hold: whatever an export
// wrote reads back whole, and only longer texts refuse their line.
constexpr std::size_t kNumberCapacity = 127;
constexpr std::size_t kTextCapacity = sizeof(tHostInfo::hostName) + 1;
constexpr std::size_t kAddressCapacity = sizeof(tHostInfo::ipAddr) + 1;
static_assert(sizeof(tHostInfo::comment) == sizeof(tHostInfo::hostName));
static_assert(sizeof(tHostInfo::netMask) == sizeof(tHostInfo::ipAddr) &&
    sizeof(tHostInfo::macAddr) == sizeof(tHostInfo::ipAddr));

// A line is read in pieces of at most this many characters.
constexpr std::size_t kMaxReadLength = 1023;
// The extended fields are read whole, however long, and then judged: a text
// too long for its field refuses its line rather than being cut.
constexpr std::size_t kWholeFieldCapacity = kMaxReadLength + 2;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

void AppendQuoted(std::string& line, std::string_view text)
{
    line += '"';
    for (const char c : text) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

// Leading blanks and a sign are allowed, trailing text is not; an empty
// field counts as 0.
bool IsRowNumber(std::string_view field)
{
    std::size_t start = 0;
    while (start < field.size() && (field[start] == ' ' || field[start] == '\t'))
        ++start;
    field.remove_prefix(start);
    if (field.empty())
        return start == 0;
    if (field.front() == '+')
        field.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc{} && end == field.data() + field.size() && value >= 0;
}

// The next piece of text as a reader of at most kMaxReadLength characters a
// read takes it, line end included; CR LF counts as one line end.
std::string_view NextPiece(std::string_view& text)
{
    std::size_t length = 0;
    std::size_t counted = 0;
    while (length < text.size() && counted < kMaxReadLength) {
        const char c = text[length++];
        if (c == '\n')
            break;
        if (c == '\r' && length < text.size() && text[length] == '\n') {
            ++length;
            break;
        }
        ++counted;
    }
    const std::string_view piece = text.substr(0, length);
    text.remove_prefix(length);
    return piece;
}

} // namespace

std::string FormatCsvHostLine(std::int32_t row, const tHostInfo& host, CsvFlavour flavour)
{
    std::string line = std::to_string(row);
    const auto append = [&line](const char* text) {
        line += ',';
        AppendQuoted(line, text);
    };
    for (const char* text : {host.hostName, host.comment, host.ipAddr, host.netMask, host.macAddr})
        append(text);
    if (flavour == CsvFlavour::kWithGroups) {
        for (const char* text : {host.group, host.interfaceName, host.secureOn})
            append(text);
    }
    return line;
}

std::string FormatCsvHostList(const HostList& hosts, CsvFlavour flavour)
{
    std::string text(flavour == CsvFlavour::kPlain ? kCsvHeaderLine : kCsvExtendedHeaderLine);
    text += "\r\n";
    std::int32_t row = 0;
    for (const tHostInfo& host : hosts) {
        text += FormatCsvHostLine(row++, host, flavour);
        text += "\r\n";
    }
    return text;
}

namespace {

std::string_view TrimBlanks(std::string_view text) noexcept
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Reads the group, interface and SecureOn fields that follow the MAC
// address; a field the line leaves out is empty. Each is judged as the host
// edit dialog judges it, so that no file stores what the dialog refuses.
bool ReadExtendedFields(std::string_view line, std::optional<std::size_t> next, tHostInfo& host)
{
    std::string texts[3];
    for (std::string& text : texts) {
        if (!next)
            break;
        next = NextCsvField(line, *next, text, kWholeFieldCapacity);
    }
    const std::string_view group = TrimBlanks(texts[0]);
    const std::string_view interfaceName = TrimBlanks(texts[1]);
    const std::optional<std::string> secureOn = StoredMacText(texts[2]);
    if (!IsValidGroupName(group) ||
        (!interfaceName.empty() && !IsValidInterfaceName(interfaceName)) || !secureOn)
        return false;
    SetField(host.group, group);
    SetField(host.interfaceName, interfaceName);
    SetField(host.secureOn, *secureOn);
    return true;
}

} // namespace

std::optional<tHostInfo> ParseCsvHostLine(std::string_view line, CsvFlavour flavour)
{
    std::string field;
    std::optional<std::size_t> next = NextCsvField(line, 0, field, kNumberCapacity);
    if (!next || !IsRowNumber(field))
        return std::nullopt;

    tHostInfo host{};
    const auto readText = [&](auto& target, std::size_t capacity) {
        next = NextCsvField(line, *next, field, capacity);
        SetField(target, field);
        return next.has_value();
    };
    if (!readText(host.hostName, kTextCapacity) || !readText(host.comment, kTextCapacity) ||
        !readText(host.ipAddr, kAddressCapacity) || !readText(host.netMask, kAddressCapacity))
        return std::nullopt;
    // The MAC address is kept to its field's size. In a plain line it is
    // the last field and read no further; in an extended one it is read
    // whole, so that the fields after it are found. A host needs an
    // address, and a MAC address that could wake it, or none.
    readText(
        host.macAddr, flavour == CsvFlavour::kWithGroups ? kWholeFieldCapacity : kAddressCapacity);
    const std::optional<std::string> mac = StoredMacText(host.macAddr);
    if (IsBlankText(host.ipAddr) || !mac)
        return std::nullopt;
    SetField(host.macAddr, *mac);
    if (flavour == CsvFlavour::kWithGroups && !ReadExtendedFields(line, next, host))
        return std::nullopt;
    return host;
}

bool IsSameHost(const tHostInfo& a, const tHostInfo& b) noexcept
{
    if (a.macAddr[0] != '\0' && EqualIgnoringAsciiCase(a.macAddr, b.macAddr))
        return true;
    return EqualIgnoringAsciiCase(a.hostName, b.hostName) &&
        std::string_view(a.ipAddr) == std::string_view(b.ipAddr);
}

namespace {

// The hosts of a list, looked up by MAC address and by name and address, so
// that a large list and a large file are compared in linear time.
class KnownHosts final {
public:
    explicit KnownHosts(const HostList& hosts)
    {
        for (const tHostInfo& host : hosts) {
            if (host.macAddr[0] != '\0')
                macs_.insert(ToLowerAscii(host.macAddr));
            namesAndAddresses_.insert(NameAndAddress(host));
        }
    }

    [[nodiscard]] bool Holds(const tHostInfo& host) const
    {
        return (host.macAddr[0] != '\0' && macs_.contains(ToLowerAscii(host.macAddr))) ||
            namesAndAddresses_.contains(NameAndAddress(host));
    }

private:
    static std::string NameAndAddress(const tHostInfo& host)
    {
        return ToLowerAscii(host.hostName) + '\n' + host.ipAddr;
    }

    std::unordered_set<std::string> macs_;
    std::unordered_set<std::string> namesAndAddresses_;
};

bool IsEmptyLine(std::string_view piece)
{
    return piece.find_first_not_of("\r\n") == std::string_view::npos;
}

std::optional<CsvFlavour> HeaderFlavour(std::string_view piece)
{
    const std::string_view line = FirstLineOf(piece);
    if (line == kCsvHeaderLine)
        return CsvFlavour::kPlain;
    if (line == kCsvExtendedHeaderLine)
        return CsvFlavour::kWithGroups;
    return std::nullopt;
}

// Calls take for each host line of a file's text, and counts the lines
// that are neither hosts, nor blank, nor the header.
template <typename Take>
std::int32_t ForEachCsvHost(std::string_view fileText, Take take)
{
    if (fileText.starts_with(kUtf8ByteOrderMark))
        fileText.remove_prefix(kUtf8ByteOrderMark.size());
    std::int32_t malformed = 0;
    // A header says how the lines after it read; without one they read as
    // the plain file.
    CsvFlavour flavour = CsvFlavour::kPlain;
    while (!fileText.empty()) {
        const std::string_view piece = NextPiece(fileText);
        if (const std::optional<tHostInfo> host = ParseCsvHostLine(piece, flavour))
            take(*host);
        else if (const std::optional<CsvFlavour> header = HeaderFlavour(piece))
            flavour = *header;
        else if (!IsEmptyLine(piece))
            ++malformed;
    }
    return malformed;
}

} // namespace

std::int32_t CountCsvDuplicates(std::string_view fileText, const HostList& hosts)
{
    const KnownHosts known(hosts);
    std::int32_t duplicates = 0;
    static_cast<void>(ForEachCsvHost(fileText, [&](const tHostInfo& host) {
        if (known.Holds(host))
            ++duplicates;
    }));
    return duplicates;
}

CsvImportResult ImportCsvHostList(
    std::string_view fileText, HostList& hosts, std::uint32_t maxHostNum, CsvDuplicates duplicates)
{
    CsvImportResult result;
    const KnownHosts known(hosts);
    const auto isFull = [&] { return static_cast<std::uint32_t>(hosts.Count()) >= maxHostNum; };
    result.reachedLimit = isFull();
    result.malformed = ForEachCsvHost(fileText, [&](const tHostInfo& host) {
        if (known.Holds(host)) {
            ++result.duplicates;
            if (duplicates == CsvDuplicates::kSkip)
                return;
        }
        if (result.reachedLimit) {
            ++result.overLimit;
            return;
        }
        hosts.Append(host);
        ++result.added;
        result.reachedLimit = isFull();
    });
    return result;
}

} // namespace pondel
