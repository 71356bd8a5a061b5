#include "platform/CommandShell.h"

namespace platform {

CommandShell NativeCommandShell() {
    return CommandShell::Posix;
}

std::vector<std::string> ScriptCommand(const HeldFile& script,
                                       std::vector<std::pair<std::string, std::string>>&) {
    return {"/bin/sh", "/dev/fd/" + std::to_string(script.NativeHandle())};
}

} // namespace platform
