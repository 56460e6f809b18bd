#pragma once

#include "Result.h"

namespace pondel {

// Lowers the calling thread to the system's idle priority: it runs only
// when nothing else wants the processor. Threads it starts afterwards
// inherit that. Meant for long background work such as an address sweep,
// which should never slow down the window or the rest of the machine.
[[nodiscard]] Result<void> LowerThreadToIdlePriority();

} // namespace pondel
