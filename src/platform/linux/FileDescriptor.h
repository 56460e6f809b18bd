#pragma once

#include <span>
#include <string_view>

#include "Result.h"
#include "UniqueFd.h"

namespace pondel {

// Writes all of text, going on after partial writes and interruptions.
// Stops at the first real error, with the system's reason.
[[nodiscard]] Result<void> WriteAll(int fd, std::string_view text);
// The same for text in pieces, written in order, several to a system call.
[[nodiscard]] Result<void> WriteAll(int fd, std::span<const std::string_view> pieces);

} // namespace pondel
