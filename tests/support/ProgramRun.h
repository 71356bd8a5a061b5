#pragma once

// Runs a program to its end and keeps what it printed: for tests, benchmarks and fuzzers.

#include "platform/HeldFile.h"
#include "platform/Process.h"

#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace test {

/// What a finished program left behind.
struct ProgramRun {
    int exitStatus = -1;    ///< Its exit status, or -1 when it did not exit normally.
    std::string out;        ///< All it wrote to standard output.
    std::string err;        ///< All it wrote to standard error.
    long peakKilobytes = 0; ///< Its peak resident memory, where the system reports it.
};

/// Runs `program` with `arguments`, exactly as given (no shell, no wildcard expansion), in
/// `folder`, with `environment` set on top of this process's, and waits for it to end. A `held`
/// file passes into the program, as a stamp script does.
[[nodiscard]] std::error_code
RunProgram(const std::string& program, const std::vector<std::string>& arguments,
           const std::string& folder,
           const std::vector<std::pair<std::string, std::string>>& environment, ProgramRun& run,
           const platform::HeldFile* held = nullptr);

/// Starts `start` with standard error apart and waits for its end, reading its output as
/// Kronalo's console does: what half a second brought, in one go.
[[nodiscard]] std::error_code RunProcess(platform::ProcessStart start, ProgramRun& run);

} // namespace test
