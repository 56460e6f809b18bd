#pragma once

#include <cstddef>

namespace pondel {

// Backs a block that is about to be filled whole with memory now, in one
// call, instead of one page fault for every 4 KiB as it is written. Each
// fault is a trip into the kernel, and on a virtual machine often one into
// the host as well: reading a settings file of a thousand hosts took more
// of them than it took work. Only the whole pages inside the block are
// backed. A hint: it changes no contents and cannot fail, and systems
// without it take the faults as before.
void PrefaultPages(void* block, std::size_t bytes) noexcept;

} // namespace pondel
