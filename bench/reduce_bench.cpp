// Timing of master building: 20 frames of SIZE x SIZE 16-bit values (a bias
// level, read noise, one value in a thousand a cosmic ray) combined by the
// median and by the sigma-clipped mean, on one thread and on every core. SIZE
// is REDUCE_BENCH_SIZE (default 1024, so that its peer fits a small machine;
// 4096 is a full camera frame). The frames are made once. Its peer is
// ccdproc's Combiner on frames of the same size (bench/reduce_peer_ccdproc.py,
// run by tools/run-benchmarks.sh); the goal is a third of its time or less.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "reduce/combine.h"

namespace lxr4 {
namespace {

// The frames' side: REDUCE_BENCH_SIZE when it is a number from 16 to 8192.
int Side() {
  const char* text = std::getenv("REDUCE_BENCH_SIZE");
  const int side = text != nullptr ? std::atoi(text) : 0;
  return side >= 16 && side <= 8192 ? side : 1024;
}

const std::vector<Frame>& Frames() {
  static const std::vector<Frame> frames = [] {
    std::vector<Frame> out(20);
    std::uint64_t s = 0x9E3779B97F4A7C15ULL;
    const int side = Side();
    for (Frame& f : out) {
      f.width = f.height = side;
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
  state.SetLabel("20 x " + std::to_string(frames[0].width) + " x " + std::to_string(frames[0].height));
  for (auto _ : state) {
    const CombineResult r = CombineFrames(frames, o);
    if (!r.ok()) state.SkipWithError("not combined");
    benchmark::DoNotOptimize(r.frame.values.data());
  }
}

void BM_MasterMedian(benchmark::State& state) { Combine(state, CombineMethod::Median); }
void BM_MasterSigmaClip(benchmark::State& state) { Combine(state, CombineMethod::SigmaClippedMean); }
// Argument: threads (0: every core).
BENCHMARK(BM_MasterMedian)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MasterSigmaClip)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace lxr4
