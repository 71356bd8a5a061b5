#include "tests/support/ProgramRun.h"

#include <utility>

namespace test {

std::error_code RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& folder,
                           const std::vector<std::pair<std::string, std::string>>& environment,
                           ProgramRun& run, const platform::HeldFile* held) {
    platform::ProcessStart start;
    start.command.push_back(program);
    start.command.insert(start.command.end(), arguments.begin(), arguments.end());
    start.folder = folder;
    start.environment = environment;
    start.held = held;
    return RunProcess(std::move(start), run);
}

std::error_code RunProcess(platform::ProcessStart start, ProgramRun& run) {
    start.separateErrors = true;
    platform::Process process;
    if (const std::error_code error = process.Start(start))
        return error;
    run = ProgramRun{};
    while (process.Gather(run.out, run.err, 500)) {
    }
    const platform::ProcessEnd end = process.Wait();
    run.exitStatus = end.exitStatus;
    run.peakKilobytes = end.peakKilobytes;
    return {};
}

} // namespace test
