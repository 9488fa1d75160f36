#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>

namespace vesta {
namespace {

constexpr int kLowestPriority = 19;

}  // namespace

bool LowerCallingThreadPriority(int steps) {
    // On Linux PRIO_PROCESS with 0 names the calling thread, not the process.
    const int niceness = std::min(kLowestPriority, CallingThreadNiceness() + steps);
    return setpriority(PRIO_PROCESS, 0, niceness) == 0;
}

int CallingThreadNiceness() {
    errno = 0;
    const int niceness = getpriority(PRIO_PROCESS, 0);
    return errno == 0 ? niceness : 0;
}

}  // namespace vesta
