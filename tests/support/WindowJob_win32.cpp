// Runs one time copy through Kronalo.exe's window as a user would, for the scripts that check a
// copy of it outside the build, such as the installed one (scripts/msi-check.sh):
//
//     window_job KRONALO_EXE SOURCE
//
// starts KRONALO_EXE in its own folder on SOURCE, runs the time copy of every source its window
// lists, answers the box that tells the script is written, prints the verdict's text and closes
// the window. Exits with 0 where the verdict tells that every target got its times, otherwise
// with 1, saying which step went wrong.

#include "engine/Messages.h"
#include "platform/CommandLine.h"
#include "tests/support/WindowProbe_win32.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Failed(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "window_job: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
    if (arguments.size() != 2)
        return Failed("usage: window_job KRONALO_EXE SOURCE");
    const std::string& program = arguments[0];
    const std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    test::WindowProbe probe(program, {arguments[1]}, folder);
    if (!probe.Window())
        return Failed("no window within 20 seconds", program);
    probe.Settle();
    if (probe.Items().empty())
        return Failed("the window lists no source", probe.Text(test::ids::kPath));
    probe.Press(test::ids::kDoItBtn);
    test::WindowProbe::Box box = probe.WaitBox();
    if (box.text != test::Shown(engine::messages::kScriptWritten))
        return Failed("no box telling the script is written", box.text);
    probe.Answer(box, IDOK);
    box = probe.WaitBox();
    if (!box.window)
        return Failed("no verdict within 20 seconds");
    std::printf("%s\n", box.text.c_str());
    probe.Answer(box, IDOK);
    // Closed, the window saves its settings and ends; a box in the way keeps it from ending.
    if (const DWORD status = probe.Close(); status != 0)
        return Failed("the window ended with", std::to_string(status));
    return box.text.starts_with(engine::messages::kDone) ? 0 : Failed("the run did not finish");
}
