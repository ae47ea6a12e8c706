// Timing of master building: 20 frames of 4096 x 4096 16-bit values (a bias
// level, read noise, one value in a thousand a cosmic ray) combined by the
// median and by the sigma-clipped mean, on one thread and on every core. The
// frames are made once. Its peer is ccdproc's Combiner on frames of the same
// size (bench/reduce_peer_ccdproc.py, run by tools/run-benchmarks.sh); the
// goal is a third of its time or less.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "reduce/combine.h"

namespace lxr4 {
namespace {

const std::vector<Frame>& Frames() {
  static const std::vector<Frame> frames = [] {
    std::vector<Frame> out(20);
    std::uint64_t s = 0x9E3779B97F4A7C15ULL;
    for (Frame& f : out) {
      f.width = f.height = 4096;
      f.values.resize(f.pixels());
      for (float& v : f.values) {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        // About 5 counts of noise about 1000 (a sum of four 16-value dice).
        int value = 970 + static_cast<int>((s & 15) + ((s >> 4) & 15) + ((s >> 8) & 15) + ((s >> 12) & 15));
        if ((s >> 20) % 1000 == 0) value += static_cast<int>((s >> 32) % 30000);
        v = static_cast<float>(value);
      }
    }
    return out;
  }();
  return frames;
}

void Combine(benchmark::State& state, CombineMethod method) {
  const std::vector<Frame>& frames = Frames();
  CombineOptions o;
  o.method = method;
  o.threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const CombineResult r = CombineFrames(frames, o);
    if (!r.ok()) state.SkipWithError("not combined");
    benchmark::DoNotOptimize(r.frame.values.data());
  }
}

void BM_MasterMedian20x4096(benchmark::State& state) { Combine(state, CombineMethod::Median); }
void BM_MasterSigmaClip20x4096(benchmark::State& state) { Combine(state, CombineMethod::SigmaClippedMean); }
// Argument: threads (0: every core).
BENCHMARK(BM_MasterMedian20x4096)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_MasterSigmaClip20x4096)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
}  // namespace lxr4
