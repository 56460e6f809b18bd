#pragma once

#include <string>
#include <string_view>

namespace pondel {

// The directory of the running executable, ending in a separator; empty when
// the system cannot tell.
[[nodiscard]] std::string GetModuleDirectory();

// The executable's file name without directory and extension: the program's
// name in captions and the base name of its settings file.
[[nodiscard]] std::string GetApplicationName();

// The settings file: the base name with the extension ini, beside the
// executable, or a bare file name in the current directory when the
// executable's location is unknown.
[[nodiscard]] std::string MakeSettingsPath(std::string_view baseName);

} // namespace pondel
