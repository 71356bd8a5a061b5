#include "platform/Process.h"

// What every system shares; starting, reading and reaping are each system's own.

namespace platform {

ProcessEnd Process::Wait() {
    if (!Running())
        return {};
    std::string ignored;
    while (Gather(ignored, ignored, 100))
        ignored.clear();
    return Reap();
}

} // namespace platform
