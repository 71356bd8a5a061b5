#include "platform/CommandShell.h"

// What every system shares; the interpreter and its command are each system's own.

namespace platform {

ProcessStart ScriptStart(const HeldFile& script, const HeldFolder& folder,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
    ProcessStart start;
    start.command = ScriptCommand(script);
    start.heldFolder = &folder;
    start.environment = environment;
    start.held = &script;
    return start;
}

} // namespace platform
