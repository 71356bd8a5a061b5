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

void PrepareScriptChild(const HeldFile& script, const HeldFolder& folder) noexcept {
    // The held descriptor is closed on exec unless told otherwise.
    ::fcntl(static_cast<int>(script.NativeHandle()), F_SETFD, 0);
    // A folder that cannot be entered is the script's own folder line's to report.
    if (::fchdir(static_cast<int>(folder.NativeHandle())) != 0)
        return;
}

} // namespace platform
