#include "Settings.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <utility>

#include "SettingsValues.h"

namespace pondel {
namespace {

// Values of SETTING and WINDOW are read through a buffer of this size.
constexpr std::size_t kValueBufferSize = 1024;

enum class Rule {
    kAnyNumber, // taken as it reads, 0 included
    kNonZero,   // 0 keeps the current value
    kInRange,   // a value outside the key's range reads as the default
    kFlag,      // stored and written as 0 or 1
    kZeroOrOne, // read as a flag, written as it is held
    kColor,
    kText, // taken when not empty
};

constexpr SettingRange kAnyValue{0, std::numeric_limits<std::uint32_t>::max()};

struct OptionKey {
    std::string_view name;
    Rule rule;
    std::uint32_t AppSettings::*number = nullptr;
    std::string AppSettings::*text = nullptr;
    SettingRange range = kAnyValue;
    // Keys added after the file format was settled are written only when
    // they differ from the default or the file already has them, so that a
    // file of default settings stays as it always was.
    bool writtenWhenSet = false;
};

// The SETTING keys in the order in which they are read and written.
const std::array<OptionKey, 33> kOptionKeys{{
    {"PORT_NO", Rule::kAnyNumber, &AppSettings::portNo},
    {"ICMP_TIME_OUT", Rule::kInRange, &AppSettings::icmpTimeOut, nullptr, kIcmpTimeOutRange},
    {"COLLECT_HOST_ICMP_TIME_OUT", Rule::kNonZero, &AppSettings::collectHostIcmpTimeOut},
    {"COLLECT_HOST_ADDR_START", Rule::kText, nullptr, &AppSettings::collectHostAddrStart},
    {"COLLECT_HOST_ADDR_END", Rule::kText, nullptr, &AppSettings::collectHostAddrEnd},
    {"COLLECT_HOST_NET_MASK", Rule::kText, nullptr, &AppSettings::collectHostNetMask},
    {"MAX_HOST_NUM", Rule::kInRange, &AppSettings::maxHostNum, nullptr, kMaxHostNumRange},
    {"LIST_ROW_HEIGHT", Rule::kNonZero, &AppSettings::listRowHeight},
    {"AUTO_REFRESH", Rule::kFlag, &AppSettings::autoRefresh},
    {"ENABLE_REMOTE_SHUTDOWN", Rule::kFlag, &AppSettings::enableRemoteShutdown},
    {"TIMER_INTERVAL", Rule::kInRange, &AppSettings::timerInterval, nullptr, kTimerIntervalRange},
    {"INIT_REFRESH", Rule::kFlag, &AppSettings::initRefresh},
    {"NO_EXTERNAL_COMMAND", Rule::kFlag, &AppSettings::noExternalCommand},
    {"CHECK_NETWORK_SEGMENT", Rule::kFlag, &AppSettings::checkNetworkSegment},
    {"ACTIVE_MARK_TYPE", Rule::kZeroOrOne, &AppSettings::activeMarkType},
    {"ACTIVE_IMG_MASK_COLOR", Rule::kColor, &AppSettings::activeImgMaskColor},
    {"ACTIVE_MARK_TEXT_COLOR", Rule::kColor, &AppSettings::activeMarkTextColor},
    {"ACTIVE_MARK_BACK_COLOR", Rule::kColor, &AppSettings::activeMarkBackColor},
    {"ACTIVE_MARK_TEXT", Rule::kText, nullptr, &AppSettings::activeMarkText},
    {"NON_BROADCAST_DFLT", Rule::kFlag, &AppSettings::nonBroadcastDflt},
    {"TASK_TRAY_ICON", Rule::kFlag, &AppSettings::taskTrayIcon},
    {"SHUTDOWN_COMMAND", Rule::kText, nullptr, &AppSettings::shutdownCommand},
    {"PROBE_RATE", Rule::kAnyNumber, &AppSettings::probeRate},
    {"WAKE_PATHS", Rule::kAnyNumber, &AppSettings::wakePaths, nullptr, kAnyValue, true},
    {"WAKE_EXTRA_PORTS", Rule::kText, nullptr, &AppSettings::wakeExtraPorts, kAnyValue, true},
    {"WAKE_REPEAT_COUNT", Rule::kInRange, &AppSettings::wakeRepeatCount, nullptr,
        kWakeRepeatCountRange, true},
    {"WAKE_REPEAT_INTERVAL", Rule::kInRange, &AppSettings::wakeRepeatInterval, nullptr,
        kWakeRepeatIntervalRange, true},
    {"WAKE_CONFIRM_INTERVAL", Rule::kInRange, &AppSettings::wakeConfirmInterval, nullptr,
        kWakeConfirmIntervalRange, true},
    {"WAKE_CONFIRM_TIMEOUT", Rule::kInRange, &AppSettings::wakeConfirmTimeout, nullptr,
        kWakeConfirmTimeoutRange, true},
    {"WAKE_RESEND_SECONDS", Rule::kInRange, &AppSettings::wakeResendSeconds, nullptr,
        kWakeResendSecondsRange, true},
    {"ARP_PROBE", Rule::kFlag, &AppSettings::arpProbe, nullptr, kAnyValue, true},
    {"VENDOR_REGISTRY_FOLDER", Rule::kText, nullptr, &AppSettings::vendorRegistryFolder, kAnyValue,
        true},
    {"VENDOR_COLUMN", Rule::kFlag, &AppSettings::vendorColumn, nullptr, kAnyValue, true},
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
// The optional Vendor column came later: its width is written once it has
// one, so that a file of default settings stays as it always was.
constexpr std::string_view kVendorColumnWidthKey = "ITEM_WIDTH_VENDOR";
// So did the Group column: its width is written once it differs from the
// one the list measures.
constexpr std::string_view kGroupColumnWidthKey = "ITEM_WIDTH_GROUP";

std::string_view CutToBuffer(std::string_view text) noexcept
{
    return text.substr(0, std::min(text.size(), kValueBufferSize - 1));
}

void ReadOption(const IniDocument& document, const OptionKey& key, AppSettings& settings)
{
    if (key.rule == Rule::kText) {
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
    if (key.rule == Rule::kColor) {
        if (found)
            current = ParseColor(CutToBuffer(*found)).value_or(current);
        return;
    }
    // A missing key reads as the current value, so its rule still applies.
    const std::uint32_t value = found ? AtoiUnsignedValue(CutToBuffer(*found)) : current;
    switch (key.rule) {
    case Rule::kAnyNumber:
        current = value;
        break;
    case Rule::kNonZero:
        if (value != 0)
            current = value;
        break;
    case Rule::kInRange:
        // A value the option dialog could not have stored, such as -5
        // (4294967291) for a timeout, would stall every probe.
        current = key.range.Holds(value) ? value : AppSettings{}.*key.number;
        break;
    case Rule::kFlag:
    case Rule::kZeroOrOne:
        current = value != 0 ? 1 : 0;
        break;
    case Rule::kColor:
    case Rule::kText:
        break;
    }
}

std::string OptionText(const OptionKey& key, const AppSettings& settings)
{
    switch (key.rule) {
    case Rule::kText:
        if (key.name == kQuotedTextKey)
            return "\"" + settings.*key.text + "\"";
        return StoredValue(settings.*key.text);
    case Rule::kColor:
        return FormatColor(settings.*key.number);
    case Rule::kFlag:
        return settings.*key.number != 0 ? "1" : "0";
    case Rule::kAnyNumber:
    case Rule::kNonZero:
    case Rule::kInRange:
    case Rule::kZeroOrOne:
        break;
    }
    return std::to_string(settings.*key.number);
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

SettingsFile::SettingsFile(
    std::filesystem::path path, Result<void> loadStatus, IniDocument document)
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
    if (const std::string value =
            document.GetString(kWindowSection, kVendorColumnWidthKey, "", kValueBufferSize);
        !value.empty())
        settings.vendorColumnWidth = AtoiValue(value);
    if (const std::string value =
            document.GetString(kWindowSection, kGroupColumnWidthKey, "", kValueBufferSize);
        !value.empty())
        settings.groupColumnWidth = AtoiValue(value);
}

void SaveSettings(IniDocument& document, const AppSettings& settings, const HostList& hosts,
    const WindowState& window)
{
    for (const OptionKey& key : kOptionKeys) {
        const std::string text = OptionText(key, settings);
        if (key.writtenWhenSet && text == OptionText(key, AppSettings{}) &&
            !document.Find(kSettingSection, key.name))
            continue;
        document.SetString(kSettingSection, key.name, text);
    }
    document.SetString(kSettingSection, kDefaultHostKey, std::to_string(window.firstSelectedRow));
    if (window.window && window.fallback)
        WriteWindowGeometry(document, *window.window, *window.fallback, window);
    if (window.maximized || document.Find(kWindowSection, kWindowMaximizedKey))
        document.SetString(kWindowSection, kWindowMaximizedKey, window.maximized ? "1" : "0");
    for (std::size_t column = 0; column < kColumnWidthKeys.size(); ++column)
        document.SetString(
            kWindowSection, kColumnWidthKeys[column], std::to_string(window.columnWidths[column]));
    if (window.vendorColumnWidth != 0 || document.Find(kWindowSection, kVendorColumnWidthKey))
        document.SetString(
            kWindowSection, kVendorColumnWidthKey, std::to_string(window.vendorColumnWidth));
    if (window.groupColumnWidth != 0 || document.Find(kWindowSection, kGroupColumnWidthKey))
        document.SetString(
            kWindowSection, kGroupColumnWidthKey, std::to_string(window.groupColumnWidth));
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
