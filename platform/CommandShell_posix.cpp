#include "platform/CommandShell.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

CommandShell NativeCommandShell() {
    return CommandShell::Posix;
}

std::vector<std::string> ScriptCommand(const HeldFile& script) {
    return {"/bin/sh", "/dev/fd/" + std::to_string(script.NativeHandle())};
}

void PrepareScriptChild(const HeldFile& script, const char* folder) noexcept {
    // The held descriptor is closed on exec unless told otherwise.
    ::fcntl(static_cast<int>(script.NativeHandle()), F_SETFD, 0);
    // A folder that cannot be entered is the script's own cd line's to report.
    if (::chdir(folder) != 0)
        return;
}

} // namespace platform
