#include "platform/CommandLine.h"

#include "platform/WideText.h"

// Apart from CommandLine_win32.cpp: a program that starts at wmain links neither that file nor
// the shell's library it needs.

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(Narrow(argv[i]));
    return arguments;
}

} // namespace platform
