#pragma once

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

/// The program and arguments that run the script at `scriptPath` with that interpreter.
std::vector<std::string> ScriptCommand(const std::string& scriptPath);

} // namespace platform
