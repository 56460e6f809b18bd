#include "Settings.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <limits>
#include <span>
#include <thread>
#include <utility>
#include <vector>

#include "AsciiText.h"
#include "LineEnds.h"
#include "RunOnThreads.h"
#include "SettingsValues.h"

namespace pondel {
namespace {

// Values of SETTING and WINDOW are read through a buffer of this size.
constexpr std::size_t kValueBufferSize = 1024;

enum class Rule {
    AnyNumber, // taken as it reads, 0 included
    NonZero,   // 0 keeps the current value
    InRange,   // a value outside the key's range reads as the default
    Flag,      // stored and written as 0 or 1
    ZeroOrOne, // read as a flag, written as it is held
    Color,
    Text, // taken when not empty
};

struct OptionKey {
    std::string_view name;
    Rule rule;
    std::uint32_t AppSettings::*number = nullptr;
    std::string AppSettings::*text = nullptr;
    SettingRange range{0, std::numeric_limits<std::uint32_t>::max()};
};

// The SETTING keys in the order in which they are read and written.
const std::array<OptionKey, 23> kOptionKeys{{
    {"PORT_NO", Rule::AnyNumber, &AppSettings::portNo},
    {"ICMP_TIME_OUT", Rule::InRange, &AppSettings::icmpTimeOut, nullptr, kIcmpTimeOutRange},
    {"COLLECT_HOST_ICMP_TIME_OUT", Rule::NonZero, &AppSettings::collectHostIcmpTimeOut},
    {"COLLECT_HOST_ADDR_START", Rule::Text, nullptr, &AppSettings::collectHostAddrStart},
    {"COLLECT_HOST_ADDR_END", Rule::Text, nullptr, &AppSettings::collectHostAddrEnd},
    {"COLLECT_HOST_NET_MASK", Rule::Text, nullptr, &AppSettings::collectHostNetMask},
    {"MAX_HOST_NUM", Rule::InRange, &AppSettings::maxHostNum, nullptr, kMaxHostNumRange},
    {"LIST_ROW_HEIGHT", Rule::NonZero, &AppSettings::listRowHeight},
    {"AUTO_REFRESH", Rule::Flag, &AppSettings::autoRefresh},
    {"ENABLE_REMOTE_SHUTDOWN", Rule::Flag, &AppSettings::enableRemoteShutdown},
    {"TIMER_INTERVAL", Rule::InRange, &AppSettings::timerInterval, nullptr,
        kTimerIntervalRange},
    {"INIT_REFRESH", Rule::Flag, &AppSettings::initRefresh},
    {"NO_EXTERNAL_COMMAND", Rule::Flag, &AppSettings::noExternalCommand},
    {"CHECK_NETWORK_SEGMENT", Rule::Flag, &AppSettings::checkNetworkSegment},
    {"ACTIVE_MARK_TYPE", Rule::ZeroOrOne, &AppSettings::activeMarkType},
    {"ACTIVE_IMG_MASK_COLOR", Rule::Color, &AppSettings::activeImgMaskColor},
    {"ACTIVE_MARK_TEXT_COLOR", Rule::Color, &AppSettings::activeMarkTextColor},
    {"ACTIVE_MARK_BACK_COLOR", Rule::Color, &AppSettings::activeMarkBackColor},
    {"ACTIVE_MARK_TEXT", Rule::Text, nullptr, &AppSettings::activeMarkText},
    {"NON_BROADCAST_DFLT", Rule::Flag, &AppSettings::nonBroadcastDflt},
    {"TASK_TRAY_ICON", Rule::Flag, &AppSettings::taskTrayIcon},
    {"SHUTDOWN_COMMAND", Rule::Text, nullptr, &AppSettings::shutdownCommand},
    {"PROBE_RATE", Rule::AnyNumber, &AppSettings::probeRate},
}};

// The active mark text is written in quotes so that its blanks survive the
// trimming of values on the way back in.
constexpr std::string_view kQuotedTextKey = "ACTIVE_MARK_TEXT";

constexpr std::array<std::string_view, 6> kColumnWidthKeys{
    "ITEM_WIDTH_BOOT",
    "ITEM_WIDTH_HOST_NAME",
    "ITEM_WIDTH_COMMENT",
    "ITEM_WIDTH_IP_ADDR",
    "ITEM_WIDTH_NET_MASK",
    "ITEM_WIDTH_MAC_ADDR",
};

constexpr std::string_view kHostNameKey = "HOST_NAME";
constexpr std::string_view kCommentKey = "COMMENT";
constexpr std::string_view kIpAddrKey = "IP_ADDR";
constexpr std::string_view kNetMaskKey = "NET_MASK";
constexpr std::string_view kMacAddrKey = "MAC_ADDR";
// Never written; a stale section survives only when it has this key too.
constexpr std::string_view kStaleCheckMacKey = "MAC_ADR";

constexpr std::string_view kHostSectionPrefix = "HOST_";

// A value as the file must hold it to read back unchanged. Reading trims
// blanks and drops one pair of surrounding quotes, so a value that starts or
// ends with a blank, or sits in quotes itself, is written in one more pair
// of quotes, kept in `quoted`; every other value is written as it is, as it
// always was. The value first ends at a line break, which no line can hold.
std::string_view StoredValue(std::string_view value, std::string& quoted)
{
    value = FirstLineOf(value);
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const auto isQuote = [](char c) { return c == '"' || c == '\''; };
    const bool needsQuotes = !value.empty() &&
        (isBlank(value.front()) || isBlank(value.back()) ||
            (value.size() >= 2 && value.front() == value.back() && isQuote(value.front())));
    if (!needsQuotes)
        return value;
    quoted.reserve(value.size() + 2);
    quoted.assign(1, '"').append(value).append(1, '"');
    return quoted;
}

std::string StoredValue(std::string_view value)
{
    std::string quoted;
    return std::string(StoredValue(value, quoted));
}

std::string_view CutToBuffer(std::string_view text) noexcept
{
    return text.substr(0, std::min(text.size(), kValueBufferSize - 1));
}

void ReadOption(const IniDocument& document, const OptionKey& key, AppSettings& settings)
{
    if (key.rule == Rule::Text) {
        // The current text is the default, which loses its trailing spaces
        // when the key is missing.
        std::string value =
            document.GetString(kSettingSection, key.name, settings.*key.text, kValueBufferSize);
        if (!value.empty())
            settings.*key.text = std::move(value);
        return;
    }
    std::uint32_t& current = settings.*key.number;
    const auto found = document.Find(kSettingSection, key.name);
    if (found && found->empty())
        return;
    if (key.rule == Rule::Color) {
        if (found)
            current = ParseColor(CutToBuffer(*found)).value_or(current);
        return;
    }
    // A missing key reads as the current value, so its rule still applies.
    const std::uint32_t value = found ? AtoiUnsignedValue(CutToBuffer(*found)) : current;
    switch (key.rule) {
    case Rule::AnyNumber:
        current = value;
        break;
    case Rule::NonZero:
        if (value != 0)
            current = value;
        break;
    case Rule::InRange:
        // A value the option dialog could not have stored, such as -5
        // (4294967291) for a timeout, would stall every probe.
        current = key.range.Holds(value) ? value : AppSettings{}.*key.number;
        break;
    case Rule::Flag:
    case Rule::ZeroOrOne:
        current = value != 0 ? 1 : 0;
        break;
    case Rule::Color:
    case Rule::Text:
        break;
    }
}

std::string OptionText(const OptionKey& key, const AppSettings& settings)
{
    switch (key.rule) {
    case Rule::Text:
        if (key.name == kQuotedTextKey)
            return "\"" + settings.*key.text + "\"";
        return StoredValue(settings.*key.text);
    case Rule::Color:
        return FormatColor(settings.*key.number);
    case Rule::Flag:
        return settings.*key.number != 0 ? "1" : "0";
    case Rule::AnyNumber:
    case Rule::NonZero:
    case Rule::InRange:
    case Rule::ZeroOrOne:
        break;
    }
    return std::to_string(settings.*key.number);
}

// The row number of a section name that "HOST_%d" produces: digits without a
// sign or leading zeros. Letters match without regard to case, as the
// section lookup does.
std::optional<std::uint32_t> HostSectionNumber(std::string_view name) noexcept
{
    if (name.size() <= kHostSectionPrefix.size())
        return std::nullopt;
    if (!EqualIgnoringAsciiCase(name.substr(0, kHostSectionPrefix.size()), kHostSectionPrefix))
        return std::nullopt;
    const std::string_view digits = name.substr(kHostSectionPrefix.size());
    if (digits.size() > 1 && digits.front() == '0')
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

struct HostSection {
    std::uint32_t number;
    std::string_view name;
    IniDocument::SectionHandle handle;
};

// The host sections numbered from first up to, not including, limit, in the
// order of their numbers. This visits the sections the file holds instead of
// every number of the range, which MAX_HOST_NUM may make four billion long,
// and finds the same sections.
std::vector<HostSection> HostSectionsBetween(
    const IniDocument& document, std::uint32_t first, std::uint32_t limit)
{
    std::vector<HostSection> sections;
    // Room for every section: a large file holds hosts and little else, and
    // growing the list step by step would copy it over and over.
    sections.reserve(document.SectionCountBound());
    document.ForEachSection([&](const IniDocument::NamedSection& section) {
        const auto number = HostSectionNumber(section.name);
        if (number && *number >= first && *number < limit)
            sections.push_back({*number, section.name, section.handle});
    });
    // Files this program wrote hold them in order already.
    if (!std::ranges::is_sorted(sections, {}, &HostSection::number))
        std::ranges::sort(sections, {}, &HostSection::number);
    return sections;
}

std::string_view ValueOrEmpty(
    const IniDocument& document, std::string_view section, std::string_view key)
{
    return document.Find(section, key).value_or(std::string_view{});
}

HostFieldViews ReadHost(const IniDocument& document, IniDocument::SectionHandle section)
{
    static constexpr std::array<std::string_view, 5> kKeys{
        kHostNameKey, kCommentKey, kIpAddrKey, kNetMaskKey, kMacAddrKey};
    std::array<std::optional<std::string_view>, kKeys.size()> values;
    document.FindAll(section, kKeys, values);
    const auto value = [&values](std::size_t i) { return values[i].value_or(std::string_view{}); };
    // The fields cut each value to their own size, as the read buffers did.
    return FieldViews(value(0), value(1), value(2), value(3), value(4));
}

// How many threads read a list of that many hosts: one for a short list,
// where starting a thread costs more than it saves.
std::size_t ReadingThreads(std::size_t hostCount)
{
    constexpr std::size_t kHostsPerThread = 8192;
    constexpr std::size_t kMostThreads = 4;
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(hostCount / kHostsPerThread, 1, std::min(processors, kMostThreads));
}

// The records of an empty list from the host sections, in their order, the
// sections without an address left out. Long lists are read by several
// threads, each filling blocks of records of its own; the document is only
// read meanwhile.
void ReadHostRecords(
    const IniDocument& document, std::span<const HostSection> sections, HostList& hosts)
{
    const std::span<tHostInfo> records = hosts.AppendEmpty(sections.size());
    std::vector<std::uint8_t> withoutAddress(sections.size());
    const auto readBlock = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            const HostFieldViews host = ReadHost(document, sections[i].handle);
            if (host.ipAddr.empty())
                withoutAddress[i] = 1;
            else
                FillEmptyHostInfo(records[i], host);
        }
    };
    // Blocks of a few hundred hosts go to whichever thread is free.
    constexpr std::size_t kBlock = 512;
    std::atomic<std::size_t> nextBlock{0};
    RunOnThreads(ReadingThreads(sections.size()), [&] {
        for (std::size_t begin = nextBlock++ * kBlock; begin < sections.size();
             begin = nextBlock++ * kBlock)
            readBlock(begin, std::min(sections.size(), begin + kBlock));
    });
    hosts.RemoveFlagged(withoutAddress);
}

void WriteHost(IniDocument& document, IniDocument::SectionHandle section, const tHostInfo& host)
{
    // Room for the texts that need quotes; the others are written as views.
    std::array<std::string, 5> quoted;
    const std::array<IniDocument::KeyValue, 5> values{{
        {kHostNameKey, StoredValue(host.hostName, quoted[0])},
        {kCommentKey, StoredValue(host.comment, quoted[1])},
        {kIpAddrKey, StoredValue(host.ipAddr, quoted[2])},
        {kNetMaskKey, StoredValue(host.netMask, quoted[3])},
        {kMacAddrKey, StoredValue(host.macAddr, quoted[4])},
    }};
    document.SetAll(section, values);
}

bool IsCompleteStaleSection(const IniDocument& document, std::string_view section)
{
    for (const std::string_view key :
        {kHostNameKey, kCommentKey, kIpAddrKey, kNetMaskKey, kStaleCheckMacKey}) {
        if (ValueOrEmpty(document, section, key).empty())
            return false;
    }
    return true;
}

std::string IntText(std::int64_t value)
{
    return std::to_string(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A size of 10 pixels or less is a collapsed window; the size at creation
// stands in for it.
std::int64_t SavedExtent(
    std::int64_t low, std::int64_t high, std::int64_t fallbackLow, std::int64_t fallbackHigh)
{
    return high - low > 10 ? high - low : fallbackHigh - fallbackLow;
}

// A window off the leading edge comes back to 1; one beyond the far edge of
// the virtual screen is pulled back so that its far edge lies on it.
std::int64_t SavedPosition(std::int64_t low, std::int64_t high, std::int64_t screenExtent)
{
    if (low <= 0)
        return 1;
    if (high > screenExtent + 10)
        return low + screenExtent - high;
    return low;
}

void WriteWindowGeometry(IniDocument& document, const ScreenRect& window,
    const ScreenRect& fallback, const WindowState& state)
{
    document.SetString(kWindowSection, kWindowXKey,
        IntText(SavedPosition(window.left, window.right, state.virtualScreenWidth)));
    document.SetString(kWindowSection, kWindowYKey,
        IntText(SavedPosition(window.top, window.bottom, state.virtualScreenHeight)));
    document.SetString(kWindowSection, kWindowWidthKey,
        IntText(SavedExtent(window.left, window.right, fallback.left, fallback.right)));
    document.SetString(kWindowSection, kWindowHeightKey,
        IntText(SavedExtent(window.top, window.bottom, fallback.top, fallback.bottom)));
}

} // namespace

SettingsFile::SettingsFile(std::filesystem::path path, Result<void> loadStatus, IniDocument document)
    : path_(std::move(path))
    , loadStatus_(std::move(loadStatus))
    , document_(std::move(document))
{
}

SettingsFile SettingsFile::Open(std::filesystem::path path)
{
    Result<std::string> text = ReadWholeFile(path, kMaxFileSize);
    if (!text)
        return SettingsFile(std::move(path), text.Error(), IniDocument::Parse(""));
    return SettingsFile(
        std::move(path), Result<void>(), IniDocument::ParseOwned(std::move(text).Value()));
}

Result<void> SettingsFile::Save() const
{
    if (!loadStatus_.Ok() && loadStatus_.Error().code != ENOENT)
        return loadStatus_;
    // A first save makes the file's folder, such as ~/.config/pondel.
    if (!loadStatus_.Ok()) {
        if (Result<void> folder = CreateFolders(path_.parent_path()); !folder)
            return folder;
    }
    // A file changed in a few places is written from where its text lies,
    // without a copy of it all; one changed all over is put together first,
    // which writes faster than a great many short pieces.
    constexpr std::size_t kMaxWrittenPieces = 1024;
    if (const auto pieces = document_.Pieces(kMaxWrittenPieces))
        return ReplaceFileAtomically(path_, *pieces);
    return ReplaceFileAtomically(path_, document_.Serialize());
}

void SetDefaultSettings(AppSettings& settings)
{
    settings = AppSettings{};
}

void LoadSettings(const IniDocument& document, AppSettings& settings)
{
    for (const OptionKey& key : kOptionKeys)
        ReadOption(document, key, settings);
    for (std::size_t column = 0; column < kColumnWidthKeys.size(); ++column) {
        const std::string value =
            document.GetString(kWindowSection, kColumnWidthKeys[column], "", kValueBufferSize);
        if (!value.empty())
            settings.columnWidths[column] = AtoiValue(value);
    }
}

void LoadHostList(const IniDocument& document, std::uint32_t maxHostNum, HostList& hosts)
{
    LoadHostList(document, maxHostNum, hosts, nullptr);
}

void LoadHostList(const IniDocument& document, std::uint32_t maxHostNum, HostList& hosts,
    const std::function<bool(const HostNameAndAddress&)>& keep)
{
    hosts.RemoveAll();
    const std::vector<HostSection> sections = HostSectionsBetween(document, 0, maxHostNum);
    if (!keep) {
        ReadHostRecords(document, sections, hosts);
        return;
    }
    // The filter needs two of the five keys; the others are read for the
    // hosts it keeps.
    static constexpr std::array<std::string_view, 2> kFilterKeys{kHostNameKey, kIpAddrKey};
    for (const HostSection& section : sections) {
        std::array<std::optional<std::string_view>, kFilterKeys.size()> values;
        document.FindAll(section.handle, kFilterKeys, values);
        const HostFieldViews cut = FieldViews(
            values[0].value_or(std::string_view{}), {}, values[1].value_or(std::string_view{}), {}, {});
        if (!cut.ipAddr.empty() && keep(HostNameAndAddress{cut.hostName, cut.ipAddr}))
            hosts.Append(MakeHostInfo(ReadHost(document, section.handle)));
    }
}

void SaveHostList(IniDocument& document, const HostList& hosts, std::uint32_t maxHostNum)
{
    // The sections that hold rows now, and those past the list's end, found
    // in one pass rather than by looking each name up: HOST_<row> is the
    // section that counts for a row. Names differ, and so do their numbers.
    const std::uint32_t rows = static_cast<std::uint32_t>(hosts.Count());
    std::vector<std::optional<IniDocument::SectionHandle>> rowSections(rows);
    std::vector<std::string_view> pastTheEnd;
    document.ForEachSection([&](const IniDocument::NamedSection& section) {
        const auto number = HostSectionNumber(section.name);
        if (!number || *number >= maxHostNum)
            return;
        if (*number < rows)
            rowSections[*number] = section.handle;
        else
            pastTheEnd.push_back(section.name);
    });
    std::uint32_t row = 0;
    for (const tHostInfo& host : hosts) {
        auto section = rowSections[row];
        if (!section)
            section = document.AddSection(std::string(kHostSectionPrefix) + std::to_string(row));
        WriteHost(document, *section, host);
        ++row;
    }
    for (const std::string_view name : pastTheEnd) {
        // A later section of the same name, left by a hand edit, counts as
        // soon as the first goes; it must pass the same test or go too.
        while (document.HasSection(name) && !IsCompleteStaleSection(document, name))
            document.DeleteSection(name);
    }
}

void SaveSettings(IniDocument& document, const AppSettings& settings, const HostList& hosts,
    const WindowState& window)
{
    for (const OptionKey& key : kOptionKeys)
        document.SetString(kSettingSection, key.name, OptionText(key, settings));
    document.SetString(kSettingSection, kDefaultHostKey, std::to_string(window.firstSelectedRow));
    if (window.window && window.fallback)
        WriteWindowGeometry(document, *window.window, *window.fallback, window);
    for (std::size_t column = 0; column < kColumnWidthKeys.size(); ++column)
        document.SetString(
            kWindowSection, kColumnWidthKeys[column], std::to_string(window.columnWidths[column]));
    SaveHostList(document, hosts, settings.maxHostNum);
}

Result<void> SaveSettings(const std::filesystem::path& path, const AppSettings& settings,
    const HostList& hosts, const WindowState& window)
{
    SettingsFile file = SettingsFile::Open(path);
    SaveSettings(file.Document(), settings, hosts, window);
    return file.Save();
}

Result<void> SaveDefaultHost(const std::filesystem::path& path, std::int32_t row)
{
    SettingsFile file = SettingsFile::Open(path);
    file.Document().SetString(kSettingSection, kDefaultHostKey, std::to_string(row));
    return file.Save();
}

std::optional<std::int32_t> ReadIntSetting(
    const IniDocument& document, std::string_view section, std::string_view key)
{
    const auto value = document.Find(section, key);
    if (!value || value->empty())
        return std::nullopt;
    return AtoiValue(CutToBuffer(*value));
}

} // namespace pondel
