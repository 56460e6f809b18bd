#pragma once

#include <cstddef>
#include <functional>

namespace pondel {

// Runs work on up to `threads` threads at once, this one among them, and
// returns when every one has returned. Where the system has no more threads
// to give, fewer run it, this one at least; work therefore shares out what
// is to be done itself (through an atomic counter, say) rather than
// counting on the number of threads.
void RunOnThreads(std::size_t threads, const std::function<void()>& work);

} // namespace pondel
