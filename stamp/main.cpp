// Stamplet: sets the times of the entries matching a file mask to one local date and time.

#include "platform/CommandLine.h"
#include "stamp/Clock.h"
#include "stamp/Console.h"
#include "stamp/Stamplet.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
    const stamp::SystemStampClock clock;
    stamp::StandardConsole console;
    return stamp::RunStamplet(arguments, clock, console);
}
