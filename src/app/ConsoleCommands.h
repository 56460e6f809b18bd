#pragma once

#include <string>

#include "ConsoleOutput.h"

namespace pondel {

[[nodiscard]] std::string UsageText();
// "Vexmoor Ver.3.02": the product name and the file version's first two parts.
[[nodiscard]] std::string VersionText();

// Print their text on the console; see WriteToConsole for the result.
[[nodiscard]] ConsoleResult ShowUsage();
[[nodiscard]] ConsoleResult ShowVersion();

} // namespace pondel
