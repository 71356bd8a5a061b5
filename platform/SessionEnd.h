#pragma once

#include <cstdint>
#include <system_error>

namespace platform {

/// Catches what ends the program from outside: the end of the user's session (SIGTERM), the
/// hang-up of the terminal that started it (SIGHUP) and its interrupt (SIGINT). They no longer
/// end the process at once; `readable` becomes readable when one has come, and the program ends
/// itself with EndAsAsked once it has cleaned up. A connection that breaks (the display's) no
/// longer ends the process either: the write fails. Where the system tells a session's end by a
/// window message instead, there is nothing to watch and `readable` is -1.
[[nodiscard]] std::error_code WatchSessionEnd(std::intptr_t& readable);

/// Ends the process as what came would have ended it.
[[noreturn]] void EndAsAsked();

} // namespace platform
