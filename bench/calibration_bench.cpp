// Timings of the calibration: the two-line solve (two coarse scans of up to
// 101 steps, a fine scan of up to 1001), the one-line re-fit, and one
// calibrated wavelength, both pure and through the program's state.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "app/procedures.h"
#include "calibration/grating_solver.h"
#include "script/script_window.h"

namespace lxr4 {
namespace {

const LinePair kWorked{5460.753, 300.0f, 6402.246, 480.0f};

Grating StartGrating() {
  Grating g;
  g.FocalLength = std::int16_t{50};
  g.PixelWidth = 9.0f;
  return g;
}

void BM_TwoLineSolve(benchmark::State& state) {
  const Grating start = StartGrating();
  for (auto _ : state) {
    Grating g = start;
    benchmark::DoNotOptimize(SolveCalibration(g, kWorked));
    benchmark::DoNotOptimize(g);
  }
}
BENCHMARK(BM_TwoLineSolve);

void BM_OneLineRefit(benchmark::State& state) {
  Grating solved = StartGrating();
  if (SolveCalibration(solved, kWorked) != SolveError::None) state.SkipWithError("no solve");
  for (auto _ : state) {
    Grating g = solved;
    benchmark::DoNotOptimize(SolveCalibration(g, kWorked));
    benchmark::DoNotOptimize(g);
  }
}
BENCHMARK(BM_OneLineRefit);

void BM_CalibratedWavelengthPure(benchmark::State& state) {
  Grating g = StartGrating();
  if (SolveCalibration(g, kWorked) != SolveError::None) state.SkipWithError("no solve");
  double pixel = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CalibratedWavelength(g, pixel));
    pixel = pixel < 765 ? pixel + 1 : 1;
  }
}
BENCHMARK(BM_CalibratedWavelengthPure);

// What the read-out, the print and the text export call for each column.
void BM_CalibratedWavelengthApp(benchmark::State& state) {
  ScriptWindow window;
  const auto owned = std::make_unique<App>(window);  // the state is large: off the stack
  App& app = *owned;
  window.SetSink(&app);
  app.OnEvent(Control::Spectra, Event::Load);
  app.s.PixelWidth = 9.0f;
  if (!SolveCalibration(app, kWorked)) state.SkipWithError("no solve");
  double pixel = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CalibratedWavelength(app.s, pixel));
    pixel = pixel < 765 ? pixel + 1 : 1;
  }
}
BENCHMARK(BM_CalibratedWavelengthApp);

}  // namespace
}  // namespace lxr4
