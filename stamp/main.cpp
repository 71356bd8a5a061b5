// Stamplet: sets the times of the entries matching a file mask to one local date and time.

#include "platform/CommandLine.h"
#include "stamp/Clock.h"
#include "stamp/Console.h"
#include "stamp/Stamplet.h"

namespace {

int Run(const std::vector<std::string>& arguments) {
    const stamp::SystemStampClock clock;
    stamp::StandardConsole console;
    return stamp::RunStamplet(arguments, clock, console);
}

} // namespace

#ifdef _WIN32
// The C runtime splits the wide command line for wmain (linked with -municode): every name
// arrives exactly, and the start loads no library beyond KERNEL32 and the C runtime.
extern "C" int wmain(int argc, wchar_t** argv) {
    return Run(platform::CommandLineArguments(argc, argv));
}
#else
int main(int argc, char** argv) {
    return Run(platform::CommandLineArguments(argc, argv));
}
#endif
