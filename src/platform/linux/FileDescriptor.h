#pragma once

#include <span>
#include <string_view>

#include "UniqueFd.h"

namespace pondel {

// Writes all of text, going on after partial writes and interruptions.
// False on the first real error, with errno set.
[[nodiscard]] bool WriteAll(int fd, std::string_view text);
// The same for text in pieces, written in order, several to a system call.
[[nodiscard]] bool WriteAll(int fd, std::span<const std::string_view> pieces);

} // namespace pondel
