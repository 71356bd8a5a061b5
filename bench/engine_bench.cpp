// Microbenchmarks of the engine's pure functions that run once or twice per selected file.

#include "engine/CodePage.h"
#include "engine/Names.h"
#include "engine/RestoreRun.h"
#include "engine/RunRecord.h"
#include "engine/ScriptRun.h"
#include "engine/StampFormat.h"
#include "platform/FileTimes.h"
#include "platform/HeldFolder.h"
#include "platform/Wildcard.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

void BM_MakeTargetName(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::MakeTargetName("Kesäloma 2006 osa 01.avi", "KUVA_*.wmv"));
}
BENCHMARK(BM_MakeTargetName);

void BM_FormatStampDateAndTime(benchmark::State& state) {
    const engine::TDateTime value = engine::EncodeDateTime({2006, 3, 7, 14, 5, 9, 250});
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine::FormatStampDate(value));
        benchmark::DoNotOptimize(engine::FormatStampTime(value));
    }
}
BENCHMARK(BM_FormatStampDateAndTime);

void BM_AnsiToOemText(benchmark::State& state) {
    const std::string folder = "C:\\Video\\Kes\xE4loma 2006\\P\xE4iv\xE4 \xF6ljy\xE4 \xE5";
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::AnsiToOemText(folder));
}
BENCHMARK(BM_AnsiToOemText);

void BM_WildcardMatch(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::WildcardMatch("*.avi", "Kesaloma 2006 osa 01.AVI"));
        benchmark::DoNotOptimize(platform::WildcardMatch("k*_??.w*", "kuva_01.wmv"));
    }
}
BENCHMARK(BM_WildcardMatch);

/// What a restore does before its question shows: reads the user's 50 records, each of 5,000
/// targets of one list folder, and plans the newest against the targets on the disk. Target: the
/// question within 0.2 s.
void BM_RestoreQuestion(benchmark::State& state) {
    constexpr int kTargets = 5000;
    const std::filesystem::path top =
        std::filesystem::temp_directory_path() / ("kronalo-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(top / "list");
    engine::RunRecord record;
    record.folder = (top / "list").string();
    record.begun = true;
    for (int i = 0; i < kTargets; ++i) {
        engine::RecordedTarget target;
        target.name = "clip" + std::to_string(i) + ".wmv";
        std::ofstream(top / "list" / target.name) << "video";
        if (platform::FileStateOf((top / "list" / target.name).string(), target.before))
            state.SkipWithError("cannot read a target");
        target.setLastWrite = platform::ToFileTime(target.before.lastWrite);
        record.targets.push_back(target);
    }
    platform::FileState folder;
    if (platform::FileStateOf((top / "list").string(), folder))
        state.SkipWithError("cannot read the list folder");
    record.folderDevice = folder.device;
    record.folderNumber = folder.number;
    const engine::RunRecords records((top / "records").string());
    std::string path;
    for (int i = 0; i < 50; ++i) {
        record.started.seconds = 1700000000 + i;
        if (records.Add(record, path))
            state.SkipWithError("cannot write a record");
    }
    platform::HeldFolder held;
    if (held.Hold((top / "list").string()))
        state.SkipWithError("cannot hold the list folder");
    const auto script = engine::MakeShellScript();
    for (auto _ : state) {
        const engine::RunRecords::Found found = records.Runs(folder.device, folder.number);
        engine::RunRecord newest;
        if (found.runs.empty() || records.Read(found.runs.front().path, newest))
            state.SkipWithError("no run found");
        engine::TargetPlaces places(held);
        benchmark::DoNotOptimize(engine::PlanRestore(newest, places, *script, "x.sh", 0));
    }
    std::filesystem::remove_all(top);
}
BENCHMARK(BM_RestoreQuestion)->Unit(benchmark::kMillisecond);

/// The details the script-written box offers for 5,000 pairs: every target looked up, one line
/// each. Target: within 0.2 s.
void BM_PairDetails(benchmark::State& state) {
    constexpr int kPairs = 5000;
    const std::filesystem::path list =
        std::filesystem::temp_directory_path() / ("kronalo-pairs-" + std::to_string(::getpid()));
    std::filesystem::create_directories(list);
    engine::ScriptRun run;
    if (run.folder.Hold(list.string()))
        state.SkipWithError("cannot hold the list folder");
    for (int i = 0; i < kPairs; ++i) {
        engine::StampItem item;
        item.sourceName = "clip" + std::to_string(i) + ".avi";
        item.targetName = "clip" + std::to_string(i) + ".wmv";
        item.creationTime = item.lastWriteTime = engine::EncodeDateTime({2005, 1, 15, 12, 0, 7, 0});
        // Every tenth target missing.
        if (i % 10 != 0)
            std::ofstream(list / item.targetName) << "video";
        run.items.push_back(std::move(item));
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(engine::messages::PairDetails(engine::PlanLines(run)));
    std::filesystem::remove_all(list);
}
BENCHMARK(BM_PairDetails)->Unit(benchmark::kMillisecond);

} // namespace
