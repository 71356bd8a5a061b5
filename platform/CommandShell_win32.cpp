#include "platform/CommandShell.h"

namespace platform {

CommandShell NativeCommandShell() {
    return CommandShell::Cmd;
}

std::vector<std::string> ScriptCommand(const HeldFile& script) {
    return {"cmd.exe", "/c", script.Path()};
}

void PrepareScriptChild(const HeldFile&, const HeldFolder&) noexcept {}

} // namespace platform
