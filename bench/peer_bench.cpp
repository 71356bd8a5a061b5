// Measures Stamplet and Kronalo side by side with the tools a user would pick instead. Each
// pair runs alternately on data made in a temporary folder; the figures are medians of the wall
// times, from process start to exit. Prints one table; never asserts anything.

#include "platform/ProgramPath.h"
#include "tests/support/ProgramRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Command {
    std::string program;
    std::vector<std::string> arguments;
};

struct Measured {
    double medianMs = 0;
    long peakKilobytes = 0;
    bool failed = false;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

/// Runs the two commands alternately, `rounds` times each after one warm-up run each.
std::pair<Measured, Measured> Alternate(const Command& ours, const Command& peer,
                                        const fs::path& folder, int rounds) {
    std::vector<double> times[2];
    Measured measured[2];
    const Command* commands[2] = {&ours, &peer};
    for (int round = -1; round < rounds; ++round) {
        for (int which = 0; which < 2; ++which) {
            test::ProgramRun run;
            const auto start = std::chrono::steady_clock::now();
            const std::error_code error =
                test::RunProgram(commands[which]->program, commands[which]->arguments,
                                 folder.string(), {{"LC_ALL", "C"}}, run);
            const auto end = std::chrono::steady_clock::now();
            if (error || run.exitStatus != 0) {
                measured[which].failed = true;
                std::fprintf(stderr, "%s failed (%d): %s\n", commands[which]->program.c_str(),
                             run.exitStatus, run.err.substr(0, 200).c_str());
            }
            if (round < 0)
                continue;
            times[which].push_back(std::chrono::duration<double, std::milli>(end - start).count());
            measured[which].peakKilobytes =
                std::max(measured[which].peakKilobytes, run.peakKilobytes);
        }
    }
    for (int which = 0; which < 2; ++which)
        measured[which].medianMs = Median(times[which]);
    return {measured[0], measured[1]};
}

void MakeFiles(const fs::path& folder, const std::string& prefix, const std::string& extension,
               int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%06d%s", prefix.c_str(), i, extension.c_str());
        std::ofstream(folder / name) << "x";
    }
}

struct Row {
    const char* work;
    const char* peer;
    double target;
    Measured ours;
    Measured theirs;
    long memoryTargetKb = 0;
};

} // namespace

int main() {
    std::string bin;
    if (platform::ExecutableFolder(bin)) {
        std::fprintf(stderr, "cannot find the program folder\n");
        return 1;
    }
    std::random_device seed;
    const fs::path work = fs::temp_directory_path() / ("kronalo-bench-" + std::to_string(seed()));
    fs::create_directories(work);
    const std::string stamplet = bin + "Stamplet";
    const std::string date = "2005-02-17 14:03:09";
    std::vector<Row> rows;

    std::fprintf(stderr, "making data in %s ...\n", work.string().c_str());
    MakeFiles(work / "one", "clip", ".wmv", 1);
    fs::rename(work / "one" / "clip000000.wmv", work / "one" / "clip01.wmv");
    MakeFiles(work / "mask", "f", ".dat", 20000);
    MakeFiles(work / "job", "clip", ".avi", 2000);
    MakeFiles(work / "job", "clip", ".wmv", 2000);
    MakeFiles(work / "engine", "clip", ".avi", 10000);
    MakeFiles(work / "list", "a", ".avi", 50000);
    MakeFiles(work / "list", "b", ".wmv", 50000);

    std::fprintf(stderr, "1/6 one stamp call\n");
    {
        const auto [ours, theirs] =
            Alternate({stamplet, {"/W", "/D", "02-17-2005", "/T", "14:03:09", "clip01.wmv"}},
                      {"/usr/bin/touch", {"-d", date, "clip01.wmv"}}, work / "one", 300);
        rows.push_back({"one stamp call", "touch -d", 0.75, ours, theirs});
    }
    std::fprintf(stderr, "2/6 a mask over 20,000 files\n");
    {
        const auto [ours, theirs] =
            Alternate({stamplet, {"/A", "/D", "02-17-2005", "/T", "14:03:09", "*.dat"}},
                      {"/bin/sh", {"-c", "touch -d '" + date + "' *.dat"}}, work / "mask", 15);
        rows.push_back({"mask over 20,000 files", "sh -c touch *.dat", 1.0, ours, theirs});
    }
    std::fprintf(stderr, "3/6 the whole job for 2,000 pairs\n");
    {
        const auto [ours, theirs] = Alternate(
            {bin + "timecopy_bench", {(work / "job").string(), "run"}},
            {"/bin/sh", {"-c", "for f in *.avi; do touch -r \"$f\" \"${f%.avi}.wmv\"; done"}},
            work / "job", 5);
        rows.push_back({"whole job, 2,000 pairs", "sh loop of touch -r", 1.2, ours, theirs});
    }
    std::fprintf(stderr, "4/6 the engine over 10,000 sources\n");
    {
        const auto [ours, theirs] =
            Alternate({bin + "timecopy_bench", {(work / "engine").string(), "script"}},
                      {"/bin/sh", {"-c", "stat -c '%W %Y' *.avi"}}, work / "engine", 10);
        rows.push_back({"engine, 10,000 sources", "stat -c '%W %Y'", 1.0, ours, theirs});
    }
    std::fprintf(stderr, "5/6 the file list over 100,000 files\n");
    if (fs::exists(bin + "list_bench")) {
        const auto [ours, theirs] =
            Alternate({bin + "list_bench", {}}, {"/bin/ls", {"-1"}}, work / "list", 7);
        rows.push_back({"file list, 100,000 files", "ls -1", 2.0, ours, theirs, 150 * 1024});
    }
    std::fprintf(stderr, "6/6 Kronalo's window, start to idle\n");
    if (fs::exists(bin + "start_bench")) {
        const auto [ours, theirs] =
            Alternate({bin + "start_bench", {"kronalo", (work / "Kronalo.dat").string()}},
                      {bin + "start_bench", {"list"}}, work, 20);
        rows.push_back({"window, start to idle", "a minimal Qt list window", 1.5, ours, theirs});
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);

    std::printf("| # | Work | Peer | Ours (ms) | Peer (ms) | Ratio | Target | Met |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    int number = 0;
    for (const Row& row : rows) {
        const double ratio = row.ours.medianMs / row.theirs.medianMs;
        bool met = ratio <= row.target && !row.ours.failed && !row.theirs.failed;
        std::string memory;
        if (row.memoryTargetKb > 0) {
            met = met && row.ours.peakKilobytes < row.memoryTargetKb;
            memory = ", peak " + std::to_string(row.ours.peakKilobytes / 1024) + " MB";
        }
        std::printf("| %d | %s | %s | %.2f | %.2f | %.2f%s | <= %.2f | %s |\n", ++number, row.work,
                    row.peer, row.ours.medianMs, row.theirs.medianMs, ratio, memory.c_str(),
                    row.target, met ? "yes" : "no");
    }
    return 0;
}
