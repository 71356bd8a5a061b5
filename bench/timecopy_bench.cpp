// The engine's whole time-copy run over every .avi file of a folder, for the side-by-side
// measurements: `timecopy_bench FOLDER script` reads the sources' times and writes the stamp
// script; `timecopy_bench FOLDER run` also runs it with the system's command interpreter;
// `timecopy_bench FOLDER write SCRIPT PROGRAMFOLDER` keeps the script it wrote at SCRIPT, its
// lines calling the Stamplet in PROGRAMFOLDER, and prints the environment settings the script
// runs with, for the floor of the measurements.

#include "engine/Messages.h"
#include "engine/StampScript.h"
#include "engine/TimeCopyRun.h"
#include "platform/ProgramPath.h"
#include "tests/support/WholeRun.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    const bool run = argc == 3 && std::strcmp(argv[2], "run") == 0;
    const bool write = argc == 5 && std::strcmp(argv[2], "write") == 0;
    if (!run && !write && !(argc == 3 && std::strcmp(argv[2], "script") == 0)) {
        std::fprintf(stderr,
                     "usage: timecopy_bench FOLDER script|run|write SCRIPT PROGRAMFOLDER\n");
        return 2;
    }
    std::string programFolder;
    if (write)
        programFolder = argv[4];
    else if (platform::ExecutableFolder(programFolder)) {
        std::fprintf(stderr, "timecopy_bench: its own folder cannot be found\n");
        return 2;
    }
    const auto script = engine::MakeStampScript(platform::NativeCommandShell());
    // Where only the writing is measured, the script ends at once, as if it had stamped nothing.
    test::WholeRun whole;
    whole.ListFiles(std::filesystem::absolute(argv[1]).string());
    const engine::RunEnd end = whole.Run({programFolder, *script}, run);
    if (end != engine::RunEnd::Started)
        std::fprintf(stderr, "%s\n", whole.LastBox().c_str());
    if (write && end == engine::RunEnd::Started) {
        std::ofstream(argv[3], std::ios::binary) << whole.written;
        // What the script's process is given beyond this one's environment, a setting a line.
        for (const auto& [name, value] : whole.environment)
            std::printf("%s=%s\n", name.c_str(), value.c_str());
    }
    // Written only, the targets keep their times: the verdict is no measure then.
    const bool ok = !run || whole.LastBox() == engine::messages::kDone ||
                    whole.LastBox().starts_with(std::string(engine::messages::kDone) + "\r");
    if (run && !ok)
        std::fprintf(stderr, "%s\n", whole.LastBox().c_str());
    return end == engine::RunEnd::Started && ok ? 0 : 1;
}
