#include "platform/Process.h"

// What every system shares; starting, reading and reaping are each system's own.

namespace platform {

ProcessEnd Process::Wait() {
    if (!Running())
        return {};
    std::string ignored;
    while (Read(ignored, ignored))
        ignored.clear();
    return Reap();
}

} // namespace platform
