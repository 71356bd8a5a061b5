#pragma once

#include <string>
#include <string_view>

namespace platform {

/// `utf8` in the system's ANSI code page, the one older Windows programs keep their text files
/// in; false, with `ansi` untouched, where a character has no byte there. On POSIX systems the
/// system's text is this program's own and comes back as it is.
[[nodiscard]] bool ToAnsiCodePage(std::string_view utf8, std::string& ansi);

/// Text in the system's ANSI code page as this program's (UTF-8); unchanged on POSIX systems.
std::string FromAnsiCodePage(std::string_view ansi);

/// Text in the console's code page, as a console program writes it to a pipe, as UTF-8;
/// unchanged on POSIX systems.
std::string FromConsoleCodePage(std::string_view oem);

} // namespace platform
