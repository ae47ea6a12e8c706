// Automatic identification of a 4,096-pixel arc against a 300-line list,
// from a start 15% off in dispersion and 150 Angstroms off in centre, and
// the peak search alone, and the whole automatic calibration.
#include <benchmark/benchmark.h>

#include "calibration/arc_peaks.h"
#include "calibration/auto_identify.h"
#include "calibration/model_choice.h"
#include "tests/calibration/synthetic_arc.h"

namespace lxr4 {
namespace {

constexpr int kPixels = 4096;

double Truth(double p) {
  const double x = p - 2048.5;
  return 6500 + 1.1 * x + 1.2e-5 * x * x + 4e-9 * x * x * x;
}

struct Arc {
  std::vector<ListLine> list;
  std::vector<double> spectrum;
};

const Arc& TheArc() {
  static const Arc arc = [] {
    const std::vector<double> listed = RandomLines(300, 3500, 9800, 6, 21);
    std::vector<double> shown;
    for (std::size_t i = 0; i < listed.size(); ++i)
      if (i % 4 != 1) shown.push_back(listed[i]);
    return Arc{AsList(listed, "X"), DrawArc(Truth, shown, kPixels, 25).spectrum};
  }();
  return arc;
}

void BM_FindArcPeaks(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FindArcPeaks(TheArc().spectrum));
}
BENCHMARK(BM_FindArcPeaks)->Unit(benchmark::kMillisecond);

void BM_AutoIdentifyLines(benchmark::State& state) {
  const AutoIdentifyStart start{.centralWavelength = Truth(2048.5) + 150, .dispersion = 1.1 * 1.15};
  for (auto _ : state) {
    const AutoIdentifyResult r = AutoIdentifyLines(TheArc().spectrum, TheArc().list, start);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_AutoIdentifyLines)->Unit(benchmark::kMillisecond);

// What Calibrate Automatically computes: the identification, then the model
// chosen by leave-one-out among the polynomials and the grating model.
void BM_AutomaticCalibration(benchmark::State& state) {
  const AutoIdentifyStart start{.centralWavelength = Truth(2048.5) + 150, .dispersion = 1.1 * 1.15};
  FitOptions options;
  options.pixels = kPixels;
  for (auto _ : state) {
    const AutoIdentifyResult r = AutoIdentifyLines(TheArc().spectrum, TheArc().list, start);
    if (!r.ok()) state.SkipWithError(r.message.c_str());
    const ModelChoice choice = ChooseModel(r.lines, InstrumentSettings{}, 9, options);
    if (!choice.fit.ok()) state.SkipWithError(choice.fit.message.c_str());
    benchmark::DoNotOptimize(choice);
  }
}
BENCHMARK(BM_AutomaticCalibration)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lxr4
