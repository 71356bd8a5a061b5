#include "platform/SessionEnd.h"

#include <windows.h>

namespace platform {

std::error_code WatchSessionEnd(std::intptr_t& readable) {
    // The window hears of the session's end through WM_ENDSESSION.
    readable = -1;
    return {};
}

void EndAsAsked() {
    ::ExitProcess(0);
}

} // namespace platform
