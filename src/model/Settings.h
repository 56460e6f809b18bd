#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "AppSettings.h"
#include "FileIo.h"
#include "HostList.h"
#include "HostSections.h"
#include "IniDocument.h"

namespace pondel {

inline constexpr std::string_view kSettingSection = "SETTING";
inline constexpr std::string_view kWindowSection = "WINDOW";
inline constexpr std::string_view kDefaultHostKey = "DEFAULT_HOST";
inline constexpr std::string_view kWindowXKey = "WINDOW_X";
inline constexpr std::string_view kWindowYKey = "WINDOW_Y";
inline constexpr std::string_view kWindowWidthKey = "WINDOW_WIDTH";
inline constexpr std::string_view kWindowHeightKey = "WINDOW_HEIGHT";
// 1 while the window was closed maximized; written once a window has been
// closed so, so that other files stay as they were.
inline constexpr std::string_view kWindowMaximizedKey = "WINDOW_MAXIMIZED";

// The settings file read whole into memory. Opening never writes: the
// console mode opens, loads and leaves the file as it was.
class SettingsFile final {
public:
    // Files beyond this size are not read; a settings file of 65,535 hosts
    // is about 10 MB.
    static constexpr std::size_t kMaxFileSize = std::size_t{256} << 20;

    // Reads the file now. A missing file, or one that cannot be read, gives
    // an empty document, so every key reads as missing; LoadStatus tells why.
    [[nodiscard]] static SettingsFile Open(std::filesystem::path path);

    const std::filesystem::path& Path() const noexcept { return path_; }
    // ENOENT for a file that does not exist yet.
    const Result<void>& LoadStatus() const noexcept { return loadStatus_; }
    const IniDocument& Document() const noexcept { return document_; }
    IniDocument& Document() noexcept { return document_; }

    // Writes the whole document over the file in one atomic step. Refused
    // when the file exists but could not be read, so that a save never
    // replaces content it has not seen.
    [[nodiscard]] Result<void> Save() const;

private:
    SettingsFile(std::filesystem::path path, Result<void> loadStatus, IniDocument document);

    std::filesystem::path path_;
    Result<void> loadStatus_;
    IniDocument document_;
};

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// What the main window hands over when it closes.
struct WindowState {
    std::optional<ScreenRect> window;   // none while minimised
    std::optional<ScreenRect> fallback; // the window's rectangle at creation
    std::int32_t virtualScreenWidth = 0;
    std::int32_t virtualScreenHeight = 0;
    std::int32_t firstSelectedRow = -1; // -1 when no row is selected
    ColumnWidths columnWidths{};        // of list columns 0 to 5
    std::int32_t vendorColumnWidth = 0; // 0: never shown, and not written
    std::int32_t groupColumnWidth = 0;  // 0: the measured width, and not written
    bool maximized = false;             // window is then its normal rectangle
};

// The option defaults, and the column widths 0.
void SetDefaultSettings(AppSettings& settings);

// Reads section SETTING and the column widths over the current values, which
// stay where a key is missing, empty or not acceptable.
void LoadSettings(const IniDocument& document, AppSettings& settings);

// Writes the options, DEFAULT_HOST, the window geometry (unless minimised)
// and the column widths into the document, then the hosts (SaveHostList).
void SaveSettings(IniDocument& document, const AppSettings& settings, const HostList& hosts,
    const WindowState& window);

// SaveSettings into the file at path: reads it afresh, so that lines written
// by others since start-up survive, and writes it once, atomically.
[[nodiscard]] Result<void> SaveSettings(const std::filesystem::path& path,
    const AppSettings& settings, const HostList& hosts, const WindowState& window);

// Rewrites DEFAULT_HOST alone in the file at path ("%d" of row).
[[nodiscard]] Result<void> SaveDefaultHost(const std::filesystem::path& path, std::int32_t row);

// A signed number key such as DEFAULT_HOST or WINDOW_X: none when missing or
// empty, otherwise its atoi value.
[[nodiscard]] std::optional<std::int32_t> ReadIntSetting(
    const IniDocument& document, std::string_view section, std::string_view key);

} // namespace pondel
