#pragma once

#include "platform/HeldFile.h"
#include "platform/HeldFolder.h"
#include "platform/Process.h"

#include <string>
#include <utility>
#include <vector>

namespace platform {

/// The command interpreter that runs Kronalo's stamp script on this system.
enum class CommandShell {
    Cmd,   ///< The Windows console's batch interpreter.
    Posix, ///< /bin/sh.
};

/// The environment variable that names the file whose coming into being asks a running batch
/// script to stop before its next file (see ProcessStart::stopMarkerVariable).
inline constexpr const char* kStopVariable = "KRONALO_STOP";

/// The command interpreter of the system the program was built for.
CommandShell NativeCommandShell();

/// The program and arguments that run the held script with that interpreter; what they need in
/// the process's environment is added to `environment`. Where the system allows it, the
/// interpreter reads the held file itself rather than whatever its name leads to by the time it
/// starts; on Windows the held file cannot be renamed or replaced meanwhile. The script's path
/// reaches the interpreter as nothing but that path, whatever its folder is named.
std::vector<std::string>
ScriptCommand(const HeldFile& script,
              std::vector<std::pair<std::string, std::string>>& environment);

/// What starts the held script with that interpreter in the held `folder`, with `environment`
/// set on top of this process's and the `targetFolders` passed into it; Process::Stop asks it to
/// stop where it looks for that (between two files), never in the middle of a command.
ProcessStart ScriptStart(const HeldFile& script, const HeldFolder& folder,
                         const std::vector<std::pair<std::string, std::string>>& environment,
                         std::vector<const HeldFolder*> targetFolders);

} // namespace platform
