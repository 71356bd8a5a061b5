// Measures Stamplet and Kronalo side by side with the tools a user would pick instead. Each
// pair runs alternately on data made in a temporary folder; the figures are medians of the wall
// times, from process start to exit. Prints one table; never asserts anything. `peer_bench 3 7`
// measures only the steps 3 and 7.

#include "platform/ProgramPath.h"
#include "tests/support/ProgramRun.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Environment = std::vector<std::pair<std::string, std::string>>;

struct Command {
    std::string program;
    std::vector<std::string> arguments;
    Environment environment = {}; ///< On top of LC_ALL=C.
    /// Timed by the span the program prints as `span_ms=` rather than from its start to its end.
    bool ownSpan = false;
};

/// The span a program printed as `span_ms=`; negative where it printed none.
double PrintedSpan(const std::string& out) {
    const std::size_t at = out.find("span_ms=");
    return at == std::string::npos ? -1 : std::strtod(out.c_str() + at + 8, nullptr);
}

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
            Environment environment = commands[which]->environment;
            environment.emplace_back("LC_ALL", "C");
            const std::error_code error =
                test::RunProgram(commands[which]->program, commands[which]->arguments,
                                 folder.string(), environment, run);
            const auto end = std::chrono::steady_clock::now();
            if (error || run.exitStatus != 0) {
                measured[which].failed = true;
                std::fprintf(stderr, "%s failed (%d): %s\n", commands[which]->program.c_str(),
                             run.exitStatus, run.err.substr(0, 200).c_str());
            }
            if (round < 0)
                continue;
            const double span = PrintedSpan(run.out);
            if (commands[which]->ownSpan && span < 0)
                measured[which].failed = true;
            times[which].push_back(
                commands[which]->ownSpan
                    ? span
                    : std::chrono::duration<double, std::milli>(end - start).count());
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

std::string JobName(int pairs) {
    std::string count = std::to_string(pairs);
    if (count.size() > 3)
        count.insert(count.size() - 3, ",");
    return "whole job, " + count + " pairs";
}

/// An 64 MB NTFS image mounted through ntfs-3g under `work`; empty where that cannot be had.
std::string MountNtfs(const fs::path& work) {
    const std::string image = (work / "ntfs.img").string(), point = (work / "ntfs").string();
    fs::create_directories(point);
    const std::string command = "[ \"$(id -u)\" = 0 ] && command -v mkntfs >/dev/null && "
                                "truncate -s 64M '" +
                                image + "' && mkntfs -q -F -f '" + image + "' && ntfs-3g '" +
                                image + "' '" + point + "'";
    return std::system(command.c_str()) == 0 ? point : std::string();
}

/// The stamp script the engine writes for `folder`, its lines calling the Stamplet in
/// `programFolder`, kept at `script`, as the command that runs it the way a run does: the same
/// shell, the same environment settings. Its program is empty where the script cannot be had.
Command KeptScript(const std::string& bin, const fs::path& folder, const std::string& programFolder,
                   const fs::path& script) {
    test::ProgramRun run;
    if (test::RunProgram(bin + "timecopy_bench",
                         {folder.string(), "write", script.string(), programFolder},
                         folder.string(), {}, run) ||
        run.exitStatus != 0)
        return {};
    Command command{"/bin/sh", {script.string()}};
    for (std::size_t start = 0, end; (end = run.out.find('\n', start)) != std::string::npos;
         start = end + 1) {
        const std::string line = run.out.substr(start, end - start);
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            command.environment.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return command;
}

/// Source and target pairs in a folder of their own under `work`, made once.
fs::path JobFolder(const fs::path& work, int pairs) {
    const fs::path folder = work / ("job" + std::to_string(pairs));
    if (!fs::exists(folder)) {
        MakeFiles(folder, "clip", ".avi", pairs);
        MakeFiles(folder, "clip", ".wmv", pairs);
    }
    return folder;
}

struct Row {
    std::string work;
    const char* peer;
    double target;
    Measured ours;
    Measured theirs;
    long memoryTargetKb = 0;
};

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> asked(argv + 1, argv + argc);
    const auto wanted = [&asked](int step) {
        return asked.empty() ||
               std::find(asked.begin(), asked.end(), std::to_string(step)) != asked.end();
    };
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
    MakeFiles(work / "engine", "clip", ".avi", 10000);
    MakeFiles(work / "list", "a", ".avi", 50000);
    MakeFiles(work / "list", "b", ".wmv", 50000);

    std::fprintf(stderr, "1/9 one stamp call\n");
    if (wanted(1)) {
        const auto [ours, theirs] =
            Alternate({stamplet, {"/W", "/D", "02-17-2005", "/T", "14:03:09", "clip01.wmv"}},
                      {"/usr/bin/touch", {"-d", date, "clip01.wmv"}}, work / "one", 300);
        rows.push_back({"one stamp call", "touch -d", 0.75, ours, theirs});
    }
    std::fprintf(stderr, "2/9 a mask over 20,000 files\n");
    if (wanted(2)) {
        const auto [ours, theirs] =
            Alternate({stamplet, {"/A", "/D", "02-17-2005", "/T", "14:03:09", "*.dat"}},
                      {"/bin/sh", {"-c", "touch -d '" + date + "' *.dat"}}, work / "mask", 15);
        rows.push_back({"mask over 20,000 files", "sh -c touch *.dat", 1.0, ours, theirs});
    }
    const Command touchLoop{"/bin/sh",
                            {"-c", "for f in *.avi; do touch -r \"$f\" \"${f%.avi}.wmv\"; done"}};
    for (const auto& [pairs, rounds, target] :
         {std::tuple{200, 15, 0.0}, {2000, 5, 1.0}, {20000, 2, 1.0}}) {
        std::fprintf(stderr, "3/9 the whole job for %d pairs\n", pairs);
        if (!wanted(3))
            continue;
        const fs::path folder = JobFolder(work, pairs);
        const auto [ours, theirs] = Alternate({bin + "timecopy_bench", {folder.string(), "run"}},
                                              touchLoop, folder, rounds);
        rows.push_back({JobName(pairs), "sh loop of touch -r", target, ours, theirs});
    }
    std::fprintf(stderr, "4/9 the engine over 10,000 sources\n");
    if (wanted(4)) {
        const auto [ours, theirs] =
            Alternate({bin + "timecopy_bench", {(work / "engine").string(), "script"}},
                      {"/bin/sh", {"-c", "stat -c '%W %Y' *.avi"}}, work / "engine", 10);
        rows.push_back({"engine, 10,000 sources", "stat -c '%W %Y'", 1.2, ours, theirs});
    }
    std::fprintf(stderr, "5/9 the file list over 100,000 files\n");
    if (wanted(5) && fs::exists(bin + "list_bench")) {
        const auto [ours, theirs] =
            Alternate({bin + "list_bench", {}}, {"/bin/ls", {"-1"}}, work / "list", 7);
        rows.push_back({"file list, 100,000 files", "ls -1", 1.1, ours, theirs, 50 * 1024});
    }
    std::fprintf(stderr, "6/9 Kronalo's window, start to idle\n");
    if (wanted(6) && fs::exists(bin + "start_bench")) {
        const auto [ours, theirs] =
            Alternate({bin + "start_bench", {"kronalo", (work / "Kronalo.dat").string()}},
                      {bin + "start_bench", {"list"}}, work, 20);
        rows.push_back({"window, start to idle", "a minimal Qt list window", 1.5, ours, theirs});
    }
    // The floor: the script the engine writes, with an empty static program in Stamplet's place,
    // run by the same shell in the same folder.
    std::map<int, Command> floors;
    const auto floorScript = [&](int pairs) {
        if (!floors.count(pairs)) {
            const fs::path script = work / ("floor" + std::to_string(pairs) + ".sh");
            floors[pairs] = KeptScript(bin, JobFolder(work, pairs), bin + "floor/", script);
            if (floors[pairs].program.empty())
                std::fprintf(stderr, "   the floor script for %d pairs cannot be written\n", pairs);
        }
        return floors[pairs];
    };
    std::fprintf(stderr, "7/9 the whole job through the window\n");
    if (wanted(7) && fs::exists(bin + "start_bench")) {
        // From OK in the script-written box to the final box: what the user waits for once the
        // script is known, with the real Stamplet and with the empty program in its place.
        for (const auto& [pairs, rounds] : {std::pair{2000, 5}, {20000, 3}}) {
            const fs::path folder = JobFolder(work, pairs);
            const std::string settings = (work / "Kronalo.dat").string();
            const auto [ours, theirs] =
                Alternate({bin + "start_bench", {"run", folder.string(), settings}, {}, true},
                          floorScript(pairs), folder, rounds);
            rows.push_back({JobName(pairs) + " through the window, OK to the final box",
                            "the floor", 1.10, ours, theirs});
            const auto [own, floor] = Alternate(
                {bin + "start_bench", {"run", folder.string(), settings, bin + "floor/"}, {}, true},
                floorScript(pairs), folder, rounds);
            rows.push_back({JobName(pairs) + " the same, the empty program in Stamplet's place",
                            "the floor", 0.0, own, floor});
        }
        const fs::path folder = JobFolder(work, 2000);
        const auto [ours, theirs] = Alternate(
            {bin + "start_bench", {"run", folder.string(), (work / "Kronalo.dat").string()}},
            {bin + "timecopy_bench", {folder.string(), "run"}}, folder, 5);
        rows.push_back({"whole job through the window, 2,000 pairs", "engine and script alone",
                        1.05, ours, theirs});
        // The same with the record of what the run changes, against the hidden option off.
        std::ofstream(work / "NoRecord.dat", std::ios::binary)
            << "2\r\n*.avi\r\n-1\r\n0\r\n*.wmv\r\n217\r\n129\r\n179\r\n651\r\n382\r\n";
        const auto [recorded, unrecorded] = Alternate(
            {bin + "start_bench", {"run", folder.string(), (work / "Kronalo.dat").string()}},
            {bin + "start_bench", {"run", folder.string(), (work / "NoRecord.dat").string()}},
            folder, 5);
        rows.push_back({"whole job through the window with its record, 2,000 pairs",
                        "the same without the record", 1.05, recorded, unrecorded});
    }
    std::fprintf(stderr, "8/9 the whole job on an NTFS volume (ntfs-3g), 2,000 pairs\n");
    if (const std::string ntfs = wanted(8) ? MountNtfs(work) : std::string(); !ntfs.empty()) {
        const fs::path folder = fs::path(ntfs) / "job";
        MakeFiles(folder, "clip", ".avi", 2000);
        MakeFiles(folder, "clip", ".wmv", 2000);
        const auto [ours, theirs] =
            Alternate({bin + "timecopy_bench", {folder.string(), "run"}}, touchLoop, folder, 3);
        rows.push_back({"whole job on ntfs-3g, 2,000 pairs (both lines)", "sh loop of touch -r",
                        0.0, ours, theirs});
        std::system(("umount '" + ntfs + "'").c_str());
    } else {
        std::fprintf(stderr, "   skipped: no NTFS volume can be mounted here (root and ntfs-3g)\n");
    }
    std::fprintf(stderr, "9/9 the stamp script against the floor, 2,000 pairs\n");
    if (wanted(9)) {
        const fs::path folder = JobFolder(work, 2000);
        const Command script = KeptScript(bin, folder, bin, work / "stamp2000.sh");
        if (script.program.empty())
            std::fprintf(stderr, "   the stamp script cannot be written\n");
        const auto [ours, theirs] = Alternate(script, floorScript(2000), folder, 7);
        rows.push_back({"the stamp script alone, 2,000 pairs", "the floor", 0.0, ours, theirs});
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);

    std::printf("| # | Work | Peer | Ours (ms) | Peer (ms) | Ratio | Target | Met |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    int number = 0;
    for (const Row& row : rows) {
        const double ratio = row.ours.medianMs / row.theirs.medianMs;
        bool met =
            (row.target <= 0 || ratio <= row.target) && !row.ours.failed && !row.theirs.failed;
        std::string memory;
        if (row.memoryTargetKb > 0) {
            met = met && row.ours.peakKilobytes < row.memoryTargetKb;
            memory = ", peak " + std::to_string(row.ours.peakKilobytes / 1024) + " MB";
        }
        char target[32] = "-";
        if (row.target > 0)
            std::snprintf(target, sizeof target, "<= %.2f", row.target);
        std::printf("| %d | %s | %s | %.2f | %.2f | %.2f%s | %s | %s |\n", ++number,
                    row.work.c_str(), row.peer, row.ours.medianMs, row.theirs.medianMs, ratio,
                    memory.c_str(), target, row.target > 0 ? (met ? "yes" : "no") : "-");
    }
    return 0;
}
