#include "ClipboardRows.h"

#include <algorithm>
#include <optional>

#include "CsvHostFile.h"
#include "Ipv4Text.h"
#include "MacAddress.h"

namespace pondel {
namespace {

template <std::size_t N>
constexpr std::size_t FieldLimit(const char (&)[N])
{
    return N - 1;
}

constexpr char kQuote = '"';

// A field is quoted when it holds what would otherwise end it or start a
// quote: a comma, a tab (which would make the line read as tab-separated) or
// a double quote. Every other field is written as it is.
void AppendField(std::string& text, std::string_view field)
{
    if (field.find_first_of(",\t\"") == std::string_view::npos) {
        text += field;
        return;
    }
    text += kQuote;
    for (const char c : field) {
        if (c == kQuote)
            text += kQuote;
        text += c;
    }
    text += kQuote;
}

// Spreadsheets put rows on the clipboard with tabs between the cells: a tab
// outside quotes makes the line tab-separated.
char SeparatorOf(std::string_view line)
{
    bool quoted = false;
    for (const char c : line) {
        if (c == kQuote)
            quoted = !quoted;
        else if (c == '\t' && !quoted)
            return '\t';
    }
    return ',';
}

// Splits a line at its separator. A field that begins with a double quote
// runs to the closing quote, a doubled quote inside standing for one; text
// after the closing quote is kept as it is, and so is a quote further inside
// a field.
std::vector<std::string> SplitFields(std::string_view line, char separator)
{
    std::vector<std::string> fields(1);
    bool atFieldStart = true;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == separator) {
            fields.emplace_back();
            atFieldStart = true;
            continue;
        }
        atFieldStart = atFieldStart && c == kQuote;
        if (!atFieldStart) {
            fields.back() += c;
            continue;
        }
        atFieldStart = false;
        for (++i; i < line.size(); ++i) {
            if (line[i] != kQuote) {
                fields.back() += line[i];
            } else if (i + 1 < line.size() && line[i + 1] == kQuote) {
                fields.back() += kQuote;
                ++i;
            } else {
                break;
            }
        }
    }
    return fields;
}

bool IsAddressOrEmpty(std::string_view field)
{
    return field.empty() || TextToIp(field) != kInvalidIp;
}

// A host needs an address: a row without one could not be saved.
bool IsHostAddress(std::string_view field)
{
    return !IsBlankText(field) && IsAddressOrEmpty(field);
}

// A line as Copy writes it: host name, comment, IP address, netmask and MAC
// address. A separator after the fourth field belongs to the MAC address
// text, as it always did.
std::optional<tHostInfo> ReadCopiedLine(std::string_view line)
{
    const char separator = SeparatorOf(line);
    const std::vector<std::string> fields = SplitFields(line, separator);
    if (fields.size() < 5)
        return std::nullopt;
    std::string macText = fields[4];
    for (std::size_t i = 5; i < fields.size(); ++i)
        macText.append(1, separator).append(fields[i]);
    const tHostInfo limits{};
    const std::optional<std::string> mac = StoredMacText(macText);
    if (!mac || fields[0].size() > FieldLimit(limits.hostName) ||
        fields[1].size() > FieldLimit(limits.comment) ||
        fields[2].size() > FieldLimit(limits.ipAddr) ||
        fields[3].size() > FieldLimit(limits.netMask) || !IsHostAddress(fields[2]) ||
        !IsAddressOrEmpty(fields[3]))
        return std::nullopt;
    return MakeHostInfo(fields[0], fields[1], fields[2], fields[3], *mac);
}

// A line of the export file, with its row number first; its addresses must
// be addresses here too.
std::optional<tHostInfo> ReadExportedLine(std::string_view line)
{
    const std::optional<tHostInfo> host = ParseCsvHostLine(line);
    if (!host || !IsHostAddress(host->ipAddr) || !IsAddressOrEmpty(host->netMask))
        return std::nullopt;
    return host;
}

} // namespace

std::string FormatClipboardRows(std::span<const tHostInfo> hosts)
{
    std::string text;
    for (const tHostInfo& host : hosts) {
        if (!text.empty())
            text += '\n';
        AppendField(text, host.hostName);
        for (const char* field : {host.comment, host.ipAddr, host.netMask, host.macAddr}) {
            text += ',';
            AppendField(text, field);
        }
    }
    return text;
}

ClipboardPaste ParseClipboardRows(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    ClipboardPaste paste;
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t lineEnd = std::min(text.find('\n', position), text.size());
        std::string_view line = text.substr(position, lineEnd - position);
        position = lineEnd + 1;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        // A whole export file may be pasted, its header line included.
        if (line == kCsvHeaderLine)
            continue;
        std::optional<tHostInfo> host = ReadCopiedLine(line);
        if (!host)
            host = ReadExportedLine(line);
        if (!host) {
            paste.formatError = true;
            break;
        }
        paste.hosts.push_back(*host);
    }
    return paste;
}

} // namespace pondel
