// Measures Stamplet.exe on Windows, or under Wine, against the floor of its design: the empty
// program (bench/floor_main.cpp, built as bin\floor\Stamplet.exe) called from the same batch lines
// by the same cmd, started as Kronalo starts its stamp script. Each pair runs alternately; the
// figures are medians of the wall times. Prints one table; never asserts anything.
// `cmd_bench 1 3` measures only the steps 1 and 3 (step 5 runs the whole job with the empty
// program in Stamplet's place, to see where the time goes); `cmd_bench versus A.exe B.exe` times
// 100 calls of one program against 100 of another, such as the floor with one import more
// (bin\floor_shell32, bin\floor_user32) against the floor; `cmd_bench versus-job B.exe` the
// whole job with the empty program through this Kronalo.exe against the same through another
// build of it, `cmd_bench versus-job B.exe stamps` the same with Stamplet.exe.

#include "engine/Messages.h"
#include "platform/CommandShell.h"
#include "platform/ProgramPath.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/WindowProbe_win32.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Environment = std::vector<std::pair<std::string, std::string>>;

/// One piece of work done once: its wall time in milliseconds, negative where it failed.
using Work = std::function<double()>;

constexpr const char* kReport = " date/time changed succesfully";
/// How often the whole job looks for its final box, in milliseconds.
constexpr int kLookMs = 100;
/// Where the count of stamped entries a program reports is no measure of its success.
constexpr std::size_t kAnyReports = static_cast<std::size_t>(-1);

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Measured {
    double medianMs = 0;
    bool failed = false;
    /// Each round's wall time, negative where it failed.
    std::vector<double> rounds;
};

/// The median of each round's ratio: a pair run one after the other meets the same machine, where
/// the machine's speed drifts within a sitting (other guests of the host take its processors).
double RatioByRound(const Measured& ours, const Measured& floor) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(ours.rounds.size(), floor.rounds.size()); ++i)
        if (ours.rounds[i] > 0 && floor.rounds[i] > 0)
            ratios.push_back(ours.rounds[i] / floor.rounds[i]);
    return Median(ratios);
}

/// Does the two pieces of work alternately, `rounds` times each after one warm-up run each.
std::pair<Measured, Measured> Alternate(const Work& ours, const Work& floor, int rounds) {
    Measured measured[2];
    const Work* works[2] = {&ours, &floor};
    for (int round = -1; round < rounds; ++round) {
        // Under Wine the second of two runs in a row is a few percent slower: each goes first
        // every other round.
        for (const int which : {round & 1, 1 - (round & 1)}) {
            const double ms = (*works[which])();
            if (ms < 0)
                measured[which].failed = true;
            if (round >= 0)
                measured[which].rounds.push_back(ms);
        }
    }
    for (Measured& each : measured) {
        std::vector<double> done;
        std::copy_if(each.rounds.begin(), each.rounds.end(), std::back_inserter(done),
                     [](double ms) { return ms >= 0; });
        each.medianMs = Median(done);
    }
    return {measured[0], measured[1]};
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

/// A batch file kept in `folder` and run there by cmd as a run starts its stamp script: held
/// open, its path handed over in the environment. Fails where the script does not end with
/// status 0 or its output does not hold `reports` lines of a stamped entry.
Work ScriptRun(const fs::path& folder, const std::string& name, const std::string& bytes,
               const Environment& environment, std::size_t reports) {
    auto held = std::make_shared<std::pair<platform::HeldFolder, platform::HeldFile>>();
    if (held->first.Hold(folder.string()) || held->second.Write((folder / name).string(), bytes)) {
        std::fprintf(stderr, "   %s cannot be written\n", name.c_str());
        return [] { return -1.0; };
    }
    return [held, environment, reports, name] {
        test::ProgramRun run;
        const auto start = Clock::now();
        const std::error_code error = test::RunProcess(
            platform::ScriptStart(held->second, held->first, environment, {}), run);
        const double ms = Milliseconds(Clock::now() - start);
        if (error || run.exitStatus != 0 ||
            (reports != kAnyReports && Count(run.out, kReport) != reports)) {
            std::fprintf(stderr, "   %s failed (%d): %s\n", name.c_str(), run.exitStatus,
                         (run.err + run.out).substr(0, 300).c_str());
            return -1.0;
        }
        std::fprintf(stderr, "   %s ran in %.0f ms\n", name.c_str(), ms);
        return ms;
    };
}

/// A batch file of `calls` lines, each calling `program` as the stamp script's /W line does, on
/// the files f000.wmv and on.
std::string CallLines(const std::string& program, int calls) {
    std::string lines = "@echo off\r\n";
    for (int i = 0; i < calls; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%03d.wmv", i);
        lines += "\"" + program + "\" /W /D 02-17-2005 /T 14:03:09 \"" + name + "\"\r\n";
    }
    return lines;
}

void MakeFiles(const fs::path& folder, const char* format, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, format, i);
        std::ofstream(folder / name) << "x";
    }
}

/// The stamp script the engine writes for the sources of `folder`, its lines calling the
/// Stamplet.exe in `programFolder`, ready to run as a run runs it.
Work KeptScript(const std::string& bin, const fs::path& folder, const std::string& programFolder,
                const std::string& name, std::size_t reports) {
    const fs::path script = folder / name;
    test::ProgramRun run;
    if (test::RunProgram(bin + "timecopy_bench.exe",
                         {folder.string(), "write", script.string(), programFolder},
                         folder.string(), {}, run) ||
        run.exitStatus != 0) {
        std::fprintf(stderr, "   the engine wrote no script: %s\n", run.err.c_str());
        return [] { return -1.0; };
    }
    Environment environment;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (const std::size_t equals = line.find('='); equals != std::string::npos)
            environment.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    std::ifstream in(script, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    fs::remove(script);
    return ScriptRun(folder, name, bytes, environment, reports);
}

using test::Shown;

/// The whole job through Kronalo.exe's window, started in `programFolder` on the sources of
/// `folder`: from the run button to the final box, less the time the box that tells of the
/// written script waits for its answer. Where `stamps` is false, the program folder's Stamplet.exe
/// is the empty program, and any final box ends the job.
double KronaloJob(const std::string& programFolder, const fs::path& folder, std::size_t pairs,
                  bool stamps = true) {
    test::WindowProbe probe(programFolder + "Kronalo.exe", {(folder / "clip000.avi").string()},
                            programFolder);
    if (!probe.Window()) {
        std::fprintf(stderr, "   Kronalo.exe showed no window\n");
        return -1;
    }
    probe.Settle();
    if (probe.Items().size() != pairs) {
        std::fprintf(stderr, "   Kronalo.exe lists %zu sources\n", probe.Items().size());
        return -1;
    }
    const auto start = Clock::now();
    probe.Press(win32::ids::kDoItBtn);
    test::WindowProbe::Box box = probe.WaitBox();
    const auto written = Clock::now();
    if (box.text != Shown(engine::messages::kScriptWritten)) {
        std::fprintf(stderr, "   Kronalo.exe wrote no script: %s\n", box.text.c_str());
        return -1;
    }
    const auto answered = Clock::now();
    probe.Answer(box, IDOK);
    // Every look at the windows goes through the Wine server, which starts every process too: the
    // job is looked at seldom, which adds 50 ms to it on average.
    const auto step = std::chrono::milliseconds(kLookMs);
    box = probe.WaitBox(step);
    // WaitBox gives up after 20 seconds; a slow job takes longer.
    for (int wait = 0; wait < 30 && !box.window; ++wait)
        box = probe.WaitBox(step);
    const auto end = Clock::now();
    const bool done = !stamps || box.text.starts_with(engine::messages::kDone);
    if (!done)
        std::fprintf(stderr, "   Kronalo.exe ended with: %s\n", box.text.c_str());
    probe.Answer(box, IDOK);
    probe.Close();
    std::fprintf(stderr, "   script written in %.0f ms, run and verdict in %.0f ms\n",
                 Milliseconds(written - start), Milliseconds(end - answered));
    return done ? Milliseconds(written - start) + Milliseconds(end - answered) : -1;
}

struct Row {
    std::string work;
    double target;
    Measured ours;
    Measured floor;
};

void PrintTable(const std::vector<Row>& rows) {
    std::printf("| # | Work | Ours (ms) | Floor (ms) | Ratio | By round | Target | Met |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    int number = 0;
    for (const Row& row : rows) {
        const double ratio = row.ours.medianMs / row.floor.medianMs;
        const bool failed = row.ours.failed || row.floor.failed;
        char target[32] = "-";
        if (row.target > 0)
            std::snprintf(target, sizeof target, "<= %.2f", row.target);
        std::printf("| %d | %s | %.1f | %.1f | %.2f%s | %.2f | %s | %s |\n", ++number,
                    row.work.c_str(), row.ours.medianMs, row.floor.medianMs, ratio,
                    failed ? " (failed)" : "", RatioByRound(row.ours, row.floor), target,
                    row.target > 0 ? (ratio <= row.target && !failed ? "yes" : "no") : "-");
    }
}

/// `kronalo` as Kronalo.exe and `stamplet` as Stamplet.exe side by side in a program folder of
/// the bench's own, `name`, so that Kronalo.dat is written there.
std::string ProgramFolder(const std::string& kronalo, const fs::path& work, const char* name,
                          const std::string& stamplet) {
    const fs::path folder = work / name;
    fs::create_directories(folder);
    fs::copy_file(kronalo, folder / "Kronalo.exe", fs::copy_options::overwrite_existing);
    fs::copy_file(stamplet, folder / "Stamplet.exe", fs::copy_options::overwrite_existing);
    return folder.string() + "\\";
}

/// The whole job through this build's Kronalo.exe, alternately with the same job through `other`
/// (a Windows path), in one sitting: two builds set side by side where sittings differ more than
/// the builds. With the empty program in Stamplet's place unless `stamps`.
Row VersusJob(const std::string& bin, const fs::path& work, const fs::path& job,
              const std::string& other, bool stamps) {
    const std::string stamplet = bin + (stamps ? "Stamplet.exe" : "floor\\Stamplet.exe");
    MakeFiles(job, "clip%03d.avi", 200);
    MakeFiles(job, "clip%03d.wmv", 200);
    const std::string ours = ProgramFolder(bin + "Kronalo.exe", work, "program", stamplet);
    const std::string theirs = ProgramFolder(other, work, "other", stamplet);
    const auto [a, b] = Alternate([&] { return KronaloJob(ours, job, 200, stamps); },
                                  [&] { return KronaloJob(theirs, job, 200, stamps); }, 4);
    return {std::string("the whole job") +
                (stamps ? "" : ", the empty program in Stamplet's place") +
                ": this Kronalo.exe against " + other,
            0, a, b};
}

/// The steps asked for, each against its floor, on data made in `work`.
std::vector<Row> Measure(const std::string& bin, const fs::path& work,
                         const std::vector<std::string>& asked) {
    const auto wanted = [&asked](int step) {
        return asked.empty() ||
               std::find(asked.begin(), asked.end(), std::to_string(step)) != asked.end();
    };
    const fs::path calls = work / "calls", job = work / "job";
    MakeFiles(calls, "f%03d.wmv", 1000);
    const std::string stamplet = bin + "Stamplet.exe", empty = bin + "floor\\Stamplet.exe";
    std::vector<Row> rows;
    if (asked.size() == 3 && asked[0] == "versus") {
        const auto [a, b] =
            Alternate(ScriptRun(calls, "a.bat", CallLines(asked[1], 100), {}, kAnyReports),
                      ScriptRun(calls, "b.bat", CallLines(asked[2], 100), {}, kAnyReports), 11);
        return {{"100 calls: " + asked[1] + " against " + asked[2], 0, a, b}};
    }
    if ((asked.size() == 2 || (asked.size() == 3 && asked[2] == "stamps")) &&
        asked[0] == "versus-job")
        return {VersusJob(bin, work, job, asked[1], asked.size() == 3)};
    for (const auto& [step, count, rounds] : {std::tuple{1, 100, 11}, {2, 1000, 3}}) {
        if (!wanted(step))
            continue;
        std::fprintf(stderr, "%d/5 %d Stamplet.exe calls through cmd\n", step, count);
        const auto [ours, floor] =
            Alternate(ScriptRun(calls, "stamplet.bat", CallLines(stamplet, count), {},
                                static_cast<std::size_t>(count)),
                      ScriptRun(calls, "floor.bat", CallLines(empty, count), {}, 0), rounds);
        rows.push_back(
            {std::to_string(count) + " Stamplet.exe calls through cmd", 1.10, ours, floor});
    }
    if (!wanted(3) && !wanted(4) && !wanted(5))
        return rows;
    MakeFiles(job, "clip%03d.avi", 200);
    MakeFiles(job, "clip%03d.wmv", 200);
    const Work floorScript = KeptScript(bin, job, bin + "floor\\", "floor.bat", 0);
    if (wanted(3)) {
        std::fprintf(stderr, "3/5 the stamp script, 200 pairs, run by cmd\n");
        const auto [ours, floor] =
            Alternate(KeptScript(bin, job, bin, "stamp.bat", 400), floorScript, 5);
        rows.push_back({"the stamp script alone, 200 pairs, run by cmd", 0, ours, floor});
    }
    if (wanted(4)) {
        std::fprintf(stderr, "4/5 the whole job, 200 pairs, through Kronalo.exe\n");
        const std::string programFolder =
            ProgramFolder(bin + "Kronalo.exe", work, "program", stamplet);
        const auto [ours, floor] =
            Alternate([&] { return KronaloJob(programFolder, job, 200); }, floorScript, 5);
        rows.push_back({"the whole job, 200 pairs, through Kronalo.exe", 1.15, ours, floor});
    }
    if (wanted(5)) {
        // Where the time goes: Kronalo.exe running the floor script's empty program.
        std::fprintf(stderr, "5/5 the same, with the empty program in Stamplet's place\n");
        const std::string programFolder =
            ProgramFolder(bin + "Kronalo.exe", work, "floor-program", empty);
        const auto [ours, floor] =
            Alternate([&] { return KronaloJob(programFolder, job, 200, false); }, floorScript, 3);
        rows.push_back({"the whole job through Kronalo.exe, the empty program in Stamplet's place",
                        0, ours, floor});
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    std::string bin;
    if (platform::ExecutableFolder(bin)) {
        std::fprintf(stderr, "cannot find the program folder\n");
        return 1;
    }
    std::random_device seed;
    const fs::path work =
        fs::temp_directory_path() / ("kronalo-cmd-bench-" + std::to_string(seed()));
    const std::vector<Row> rows = Measure(bin, work, {argv + 1, argv + argc});
    std::error_code ignored;
    fs::remove_all(work, ignored);
    PrintTable(rows);
    return 0;
}
