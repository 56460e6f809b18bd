#pragma once

#include <cstddef>

namespace pondel {

// Asks the system to back a large block that has not been touched yet with
// large pages, so that filling it takes a handful of page faults instead of
// one for every 4 KiB: a list of 65,535 hosts fills some 23 MB at once.
// Blocks too small for a large page, and systems without them, are left as
// they are. Only a hint: it changes no contents and cannot fail.
void AdviseLargePages(void* block, std::size_t bytes) noexcept;

} // namespace pondel
