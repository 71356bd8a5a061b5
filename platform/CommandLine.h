#pragma once

#include <string>
#include <vector>

namespace platform {

/// The program's arguments after its own path, as the system's run-time splits its command line
/// (double quotes group text with blanks and are dropped; no wildcard is expanded), as UTF-8 on
/// Windows: from the wide command line, so that every name arrives exactly.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

#ifdef _WIN32
/// The arguments after the program's own path from the wide vector the C runtime hands to
/// `wmain`, as UTF-8: every name arrives exactly, and no library beyond the C runtime is loaded
/// to split the command line.
std::vector<std::string> CommandLineArguments(int argc, wchar_t** argv);
#endif

} // namespace platform
