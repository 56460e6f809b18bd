#pragma once

#include <QString>

namespace pondel {

// "Vexmoor Ver.3.02" from the version data, or the product name alone when
// the version numbers cannot be read.
[[nodiscard]] QString ProgramVersionText();

} // namespace pondel
