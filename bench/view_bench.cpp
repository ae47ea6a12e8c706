// Timings of the Spectrum view's picture: a 65,536-sample spectrum with a lamp
// overlay, markers and residuals drawn (DrawSpectrumPlot) and painted
// (PaintPicture) into 1200 x 600 pixels, which must take well under a screen
// frame (16 ms); and of the drawing and the painting alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "platform/plot_painter.h"
#include "view/spectrum_plot.h"

namespace lxr4 {
namespace {

constexpr int kSamples = 65536;
constexpr int kWidth = 1200, kHeight = 600;

// A star's continuum with two absorption lines and a lamp of six emission
// lines, both with noise, on a falling wavelength scale.
SpectrumPlot FullSpectrum() {
  const double lines[] = {4471.5, 4921.9, 5015.7, 5875.6, 6562.8, 6678.2};
  PlotCurve object{"Object", CurveColour(0), {}, {}}, lamp{"Lamp", CurveColour(1), {}, {}};
  std::uint32_t seed = 1;
  for (int i = 0; i < kSamples; ++i) {
    const double w = 7200 - 3400.0 * i / (kSamples - 1);
    seed = seed * 1664525u + 1013904223u;
    const double noise = static_cast<double>(seed >> 16) / 65536.0 - 0.5;
    const double continuum = 12000 * std::exp(-std::pow((w - 5200) / 1500, 2)) + 2000;
    object.x.push_back(w);
    object.y.push_back(continuum * (1 - 0.6 * std::exp(-std::pow((w - 6562.8) / 8, 2))) + 300 * noise);
    double l = 200 + 50 * noise;
    for (const double c : lines) l += 9000 * std::exp(-std::pow((w - c) / 2.5, 2));
    lamp.x.push_back(w);
    lamp.y.push_back(l);
  }
  SpectrumPlot plot;
  plot.curves = {object, lamp};
  plot.xFrom = 3800;
  plot.xTo = 7200;
  plot.xLabel = "Wavelength (\xC3\x85)";
  plot.yLabel = "Counts";
  for (const double c : lines) {
    plot.markers.push_back({c, "line", MarkerKind::TableLine});
    plot.residuals.push_back({c, 0.05 * std::sin(c), true});
  }
  plot.cursor = 6300;
  plot.residualLabel = "Residual (\xC3\x85)";
  return plot;
}

void BM_SpectrumViewFrame(benchmark::State& state) {
  const SpectrumPlot plot = FullSpectrum();
  Surface surface(kWidth, kHeight, kWhite);
  for (auto _ : state) {
    PaintPicture(DrawSpectrumPlot(plot, kWidth, kHeight), surface);
    benchmark::DoNotOptimize(surface.Row(kHeight / 2));
  }
}
BENCHMARK(BM_SpectrumViewFrame)->Unit(benchmark::kMillisecond);

void BM_SpectrumViewDraw(benchmark::State& state) {
  const SpectrumPlot plot = FullSpectrum();
  for (auto _ : state) benchmark::DoNotOptimize(DrawSpectrumPlot(plot, kWidth, kHeight));
}
BENCHMARK(BM_SpectrumViewDraw)->Unit(benchmark::kMillisecond);

void BM_SpectrumViewPaint(benchmark::State& state) {
  const PlotPicture picture = DrawSpectrumPlot(FullSpectrum(), kWidth, kHeight);
  Surface surface(kWidth, kHeight, kWhite);
  for (auto _ : state) {
    PaintPicture(picture, surface);
    benchmark::DoNotOptimize(surface.Row(kHeight / 2));
  }
}
BENCHMARK(BM_SpectrumViewPaint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lxr4
