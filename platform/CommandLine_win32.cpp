#include "platform/CommandLine.h"

#include "platform/Win32_win32.h"

#include <shellapi.h>

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    // The narrow arguments hold "?" for every letter the code page lacks, and "?" is a wildcard.
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i)
        arguments.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

} // namespace platform
