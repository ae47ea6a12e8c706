// Timings of the spectrum extraction on a full 768 x 20 image and of one
// redraw of the spectrum graph through the scripted platform (its surface and
// its transcript lines).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>

#include "app/procedures.h"
#include "script/recording_window.h"
#include "script/script_window.h"
#include "spectrum/extraction.h"

namespace lxr4 {
namespace {

// A full image: a continuum with a few lines on rows 6..15, a dimmer sky
// elsewhere, some noise and hot pixels.
PixelGrid FullImage() {
  PixelGrid grid;
  std::uint32_t seed = 12345;
  for (int r = 1; r <= kGridRows; ++r) {
    for (int k = 1; k <= kGridColumns; ++k) {
      seed = seed * 1664525u + 1013904223u;
      const int noise = static_cast<int>(seed >> 27);
      int value = (r >= 6 && r <= 15) ? 1500 + k : 300;
      if (k % 97 == 0) value += 4000;
      if ((seed & 0x3ffu) == 7u) value = 30000;
      grid.at(k, r) = static_cast<std::int16_t>(value + noise);
    }
  }
  return grid;
}

void BM_ExtractObjectAllOptions(benchmark::State& state) {
  const PixelGrid grid = FullImage();
  Spectrum current, copy;
  const ObjectOptions all{.median = true, .filter = true, .smoothing = true};
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtractObject(grid, kGridColumns, {6, 15}, all, current, copy));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ExtractObjectAllOptions);

void BM_ExtractObjectNoOptions(benchmark::State& state) {
  const PixelGrid grid = FullImage();
  Spectrum current, copy;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtractObject(grid, kGridColumns, {6, 15}, {}, current, copy));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ExtractObjectNoOptions);

void BM_ExtractCal(benchmark::State& state) {
  const PixelGrid grid = FullImage();
  Spectrum current, copy;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ExtractCal(grid, kGridColumns, {6, 15}, false, current, copy));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ExtractCal);

// A stream that discards what is written: the transcript's text is formatted
// in full, then dropped.
class NullBuffer final : public std::streambuf {
 protected:
  int overflow(int c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_DrawSpectrumGraph(benchmark::State& state) {
  NullBuffer discard;
  std::ostream out(&discard);
  ScriptWindow window;
  Transcript transcript(out);
  RecordingWindow recording(window, transcript);
  const auto owned = std::make_unique<App>(recording);  // the state is large: off the stack
  App& app = *owned;
  window.SetSink(&app);
  app.s.Object.Pixels = FullImage();
  app.s.Object.Width = kGridColumns;
  app.s.Object.CropTop = 6;
  app.s.Object.CropBottom = 15;
  app.s.CursorPixel = std::int16_t{381};
  app.s.CentroidWidth = std::int16_t{5};
  // Argument 0..3: linear, log, autoscaled, pushed.
  app.s.LinearGraph = state.range(0) == 0;
  app.s.LogGraph = state.range(0) == 1;
  app.s.AutoscaledGraph = state.range(0) == 2;
  app.s.PushedGraph = state.range(0) == 3;
  ExtractObjectSpectrum(app);
  for (auto _ : state) DrawSpectrumGraph(app);
  transcript.Finish();
}
BENCHMARK(BM_DrawSpectrumGraph)->DenseRange(0, 3);

}  // namespace
}  // namespace lxr4
