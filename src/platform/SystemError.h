#pragma once

#include <string>

namespace pondel {

// The system's message text for an error code (errno values here); empty
// when the system has no text for it. Returned by value, so callers on
// different threads never share a buffer.
[[nodiscard]] std::string GetSystemErrorText(int code);

} // namespace pondel
