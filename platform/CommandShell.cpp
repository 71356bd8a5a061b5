#include "platform/CommandShell.h"

// What every system shares; the interpreter and its command are each system's own.

namespace platform {

ProcessStart ScriptStart(const HeldFile& script, const HeldFolder& folder,
                         const std::vector<std::pair<std::string, std::string>>& environment,
                         std::vector<const HeldFolder*> targetFolders) {
    ProcessStart start;
    start.environment = environment;
    start.command = ScriptCommand(script, start.environment);
    start.heldFolder = &folder;
    start.held = &script;
    start.passedFolders = std::move(targetFolders);
    start.stopMarkerVariable = kStopVariable;
    return start;
}

} // namespace platform
