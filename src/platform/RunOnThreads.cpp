#include "RunOnThreads.h"

#include <system_error>
#include <thread>
#include <vector>

namespace pondel {

void RunOnThreads(std::size_t threads, const std::function<void()>& work)
{
    std::vector<std::jthread> helpers;
    for (std::size_t i = 1; i < threads; ++i) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break; // the threads there are do it all
        }
    }
    work();
}

} // namespace pondel
