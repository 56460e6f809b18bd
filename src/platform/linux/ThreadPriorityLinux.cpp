#include "ThreadPriority.h"

#include <pthread.h>
#include <sched.h>

#include "SystemError.h"

namespace pondel {

Result<void> LowerThreadToIdlePriority()
{
    // SCHED_IDLE takes no priority level; lowering needs no privilege.
    const sched_param param{};
    const int error = pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    if (error != 0)
        return ErrorInfo{error, "Cannot lower the thread's priority: " + GetSystemErrorText(error)};
    return {};
}

} // namespace pondel
