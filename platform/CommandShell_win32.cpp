#include "platform/CommandShell.h"

namespace platform {

CommandShell NativeCommandShell() {
    return CommandShell::Cmd;
}

std::vector<std::string> ScriptCommand(const HeldFile& script) {
    return {"cmd.exe", "/c", script.Path()};
}

} // namespace platform
