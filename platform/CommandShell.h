#pragma once

#include "platform/HeldFile.h"
#include "platform/HeldFolder.h"

#include <string>
#include <vector>

namespace platform {

/// The command interpreter that runs Kronalo's stamp script on this system.
enum class CommandShell {
    Cmd,   ///< The Windows console's batch interpreter.
    Posix, ///< /bin/sh.
};

/// The command interpreter of the system the program was built for.
CommandShell NativeCommandShell();

/// The program and arguments that run the held script with that interpreter. Where the system
/// allows it, the interpreter reads the held file itself rather than whatever its name leads to
/// by the time it starts; on Windows the held file cannot be renamed or replaced meanwhile.
std::vector<std::string> ScriptCommand(const HeldFile& script);

/// Runs in the script's new process between fork and exec, so only async-signal-safe calls:
/// lets the held script pass into the process and enters the held `folder`. Does nothing where
/// processes are not started by fork.
void PrepareScriptChild(const HeldFile& script, const HeldFolder& folder) noexcept;

} // namespace platform
