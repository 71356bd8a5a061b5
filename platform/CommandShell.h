#pragma once

namespace platform {

/// The command interpreter that runs Kronalo's stamp script on this system.
enum class CommandShell {
    Cmd,   ///< The Windows console's batch interpreter.
    Posix, ///< /bin/sh.
};

/// The command interpreter of the system the program was built for.
CommandShell NativeCommandShell();

} // namespace platform
