// Fits over 50 lines, as the line table runs them: the grating model (from
// its own estimate) and a cubic, each with and without sigma clipping.
#include <benchmark/benchmark.h>

#include "calibration/line_fit.h"

namespace lxr4 {
namespace {

// 50 lines across the detector of a 600 lines/mm grating, with centroid
// errors of a few hundredths of a column and one blend.
LineSet FiftyLines() {
  GratingModel truth;
  truth.settings.grooveDensity = 600;
  truth.settings.deviationAngle = 25;
  truth.pixelWidth = 13.5f;
  truth.parameters = {140, 1.2, 381, false};
  LineSet lines;
  for (int i = 0; i < 50; ++i) {
    const double column = 8 + 15.1 * i;
    const double error = 0.03 * ((i * 37) % 7 - 3) / 3.0;
    lines.push_back({EvaluateGrating(truth, column + error).wavelength + (i == 20 ? 4.0 : 0.0),
                     static_cast<float>(column), "", true});
  }
  return lines;
}

void BM_FitGrating(benchmark::State& state) {
  const LineSet lines = FiftyLines();
  InstrumentSettings settings;
  settings.grooveDensity = 600;
  settings.deviationAngle = 25;
  const FitOptions options{.clip = state.range(0) != 0};
  for (auto _ : state) benchmark::DoNotOptimize(FitGrating(lines, settings, 13.5f, options));
}
BENCHMARK(BM_FitGrating)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FitCubic(benchmark::State& state) {
  const LineSet lines = FiftyLines();
  const FitOptions options{.clip = state.range(0) != 0};
  for (auto _ : state) benchmark::DoNotOptimize(FitPolynomial(lines, 3, options));
}
BENCHMARK(BM_FitCubic)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lxr4
