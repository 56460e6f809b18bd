#pragma once

#include <cstddef>

namespace pondel {

// Hints to the system about how a block of memory is about to be used. Only
// whole pages inside the block are affected. Hints change no contents and
// cannot fail; systems without them leave the memory as it was.

// Asks for a large block that has not been touched yet to be backed with
// large pages, so that filling it takes a handful of page faults instead of
// one for every 4 KiB: a list of 65,535 hosts fills some 23 MB at once.
// Blocks too small for a large page are left as they are.
void AdviseLargePages(void* block, std::size_t bytes) noexcept;

// Backs a block that is about to be filled whole with memory now, in one
// call, instead of one page fault for every 4 KiB as it is written. Each
// fault is a trip into the kernel, and on a virtual machine often one into
// the host as well: reading a settings file of a thousand hosts took more
// of them than it took work.
void PrefaultPages(void* block, std::size_t bytes) noexcept;

// Readies a block about to be filled from its start, whole or, when it was
// reserved generously, by as much as turns out to be needed. A block that spans large pages gets
// them (see AdviseLargePages); a smaller one is backed now in one call, which costs less than the
// faults of even the part that gets used.
void PrepareToFill(void* block, std::size_t bytes) noexcept;

} // namespace pondel
