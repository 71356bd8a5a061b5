#include "stamp/Console.h"

#include <cstdio>

namespace stamp {

void StdioConsole::Out(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void StdioConsole::Err(std::string_view text) {
    // The note must appear after the lines that led to it.
    std::fflush(stdout);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace stamp
