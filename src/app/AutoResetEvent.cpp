#include "AutoResetEvent.h"

namespace pondel {

void AutoResetEvent::Set()
{
    {
        const std::scoped_lock lock(mutex_);
        open_ = true;
    }
    signalled_.notify_one();
}

void AutoResetEvent::Reset()
{
    const std::scoped_lock lock(mutex_);
    open_ = false;
}

void AutoResetEvent::Wait()
{
    std::unique_lock lock(mutex_);
    signalled_.wait(lock, [this] { return open_; });
    open_ = false;
}

} // namespace pondel
