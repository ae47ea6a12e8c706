// Timings of the night frame's reduction steps on a 2048 x 512 frame: the
// trace, boxcar and optimal extraction, and the cosmic-ray detector.
#include <benchmark/benchmark.h>

#include "extract/cosmic_rays.h"
#include "extract/extract.h"
#include "extract/trace.h"
#include "tests/extract/synthetic_frame.h"

namespace lxr4 {
namespace {

const testing::SyntheticFrame& Frame() {
  static const auto frame =
      testing::MakeFrame({.width = 2048, .height = 512, .centre0 = 200, .cosmicRays = 1500});
  return frame;
}

const ExtractOptions kOptions{.halfWidth = 8, .sky = {.method = SkyMethod::Fit, .offset = 12, .width = 15}};

void BM_FindTrace(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindTrace(Frame().View()));
}
BENCHMARK(BM_FindTrace)->Unit(benchmark::kMillisecond);

void BM_ExtractBoxcar(benchmark::State& state) {
  const auto trace = FindTrace(Frame().View());
  for (auto _ : state) benchmark::DoNotOptimize(ExtractBoxcar(Frame().View(), trace, kOptions));
}
BENCHMARK(BM_ExtractBoxcar)->Unit(benchmark::kMillisecond);

void BM_ExtractOptimal(benchmark::State& state) {
  const auto trace = FindTrace(Frame().View());
  for (auto _ : state) benchmark::DoNotOptimize(ExtractOptimal(Frame().View(), trace, kOptions));
}
BENCHMARK(BM_ExtractOptimal)->Unit(benchmark::kMillisecond);

void BM_FindCosmicRays(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindCosmicRays(Frame().View()));
}
BENCHMARK(BM_FindCosmicRays)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lxr4
