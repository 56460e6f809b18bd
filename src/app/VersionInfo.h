#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pondel {

// The four numbers of a file version, most significant first.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

// The program's fixed file version, compiled in from the project's version;
// none when the program carries no version data.
[[nodiscard]] std::optional<FileVersion> GetFileVersionNumbers();

// Copies the named string ("ProductName", "FileVersion", ...) of the block
// for the user's language into value, cut to 1023 characters, and returns 1;
// returns 0 and leaves value alone when there is no such string.
[[nodiscard]] int GetVersionString(std::string_view name, std::string& value);

} // namespace pondel
