// Microbenchmarks of the engine's pure functions that run once or twice per selected file.

#include "engine/CodePage.h"
#include "engine/Names.h"
#include "engine/StampFormat.h"
#include "platform/Wildcard.h"

#include <benchmark/benchmark.h>

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

} // namespace
