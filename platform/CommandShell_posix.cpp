#include "platform/CommandShell.h"

namespace platform {

CommandShell NativeCommandShell() {
    return CommandShell::Posix;
}

} // namespace platform

namespace platform {

std::vector<std::string> ScriptCommand(const std::string& scriptPath) {
    return {"/bin/sh", scriptPath};
}

} // namespace platform
