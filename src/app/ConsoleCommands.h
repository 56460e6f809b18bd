#pragma once

#include <string>

#include "ConsoleOutput.h"

namespace pondel {

std::string UsageText();
// "Vexmoor Ver.3.02": the product name and the file version's first two parts.
std::string VersionText();

// Print their text on the console; see WriteToConsole for the result.
ConsoleResult ShowUsage();
ConsoleResult ShowVersion();

} // namespace pondel
