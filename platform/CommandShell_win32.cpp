#include "platform/CommandShell.h"

namespace platform {

CommandShell NativeCommandShell() {
    return CommandShell::Cmd;
}

std::vector<std::string> ScriptCommand(const std::string& scriptPath) {
    return {"cmd.exe", "/c", scriptPath};
}

} // namespace platform
