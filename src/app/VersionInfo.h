#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pondel {

// The program's version data, compiled in. Each output that is not null
// receives its number; false when there is no version data.
bool GetFileVersionNumbers(
    std::uint16_t* major, std::uint16_t* minor, std::uint16_t* build, std::uint16_t* revision);

// Copies the named string ("ProductName", "FileVersion", ...) of the block
// for the user's language into value, cut to 1023 characters, and returns 1;
// returns 0 and leaves value alone when there is no such string.
[[nodiscard]] int GetVersionString(std::string_view name, std::string& value);

} // namespace pondel
