#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pondel {

// Reads one comma-separated field of line, starting at position, into field.
// Double quotes toggle quoting and are dropped; a comma between them is
// kept, and two quotes in a row between them give one quote. A field may hold at most capacity - 1
// characters, counting the comma that would end it: when that is reached the field is cut there and
// no next field follows. Returns the position of the next field, or none when the line ends: at its
// end, a NUL byte (the end of the C string the line was read into), a CR or an LF; a final comma
// starts no empty field.
[[nodiscard]] std::optional<std::size_t> NextCsvField(
    std::string_view line, std::size_t position, std::string& field, std::size_t capacity);

} // namespace pondel
