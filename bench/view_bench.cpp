// Timings of the Spectrum view's picture: a 65,536-sample spectrum with a lamp
// overlay, markers and residuals drawn (DrawSpectrumPlot) and painted
// (PaintPicture) into 1200 x 600 pixels, which must take well under a screen
// frame (16 ms); of the drawing and the painting alone; and of the whole
// redraw the program makes after an event, its wavelengths of every detector
// pixel of a 65,536-pixel frame under a fit included.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "app/procedures.h"
#include "platform/plot_painter.h"
#include "script/script_window.h"
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

// A calibrated lamp frame of 65,536 detector pixels in the open view: the
// program's redraw, wavelengths, markers and residuals included (painting it
// is BM_SpectrumViewPaint).
void BM_SpectrumViewRedraw(benchmark::State& state) {
  ScriptWindow window;
  App app(window);
  CameraImage& lamp = app.s.Cal;
  lamp.Loaded = kTrue;
  lamp.FileName = "lamp.fits";
  lamp.Detector = {true, 1, 86, kSamples};
  lamp.Native.resize(kSamples);
  for (int i = 0; i < kSamples; ++i) lamp.Native[static_cast<std::size_t>(i)] = 1000 + 500 * std::sin(i * 0.05);
  app.s.CalGraphShown = kTrue;
  app.s.CalibrationDone = true;
  FittedCalibration fit;
  fit.kind = FitKind::Polynomial;
  fit.pixels = kSamples;
  fit.polynomial = {3, kSamples / 2.0, kSamples / 2.0, {5500, 1500, -20, 3, 0}};
  app.s.FitInForce = fit;
  for (int k = 1; k <= 12; ++k) app.s.Lines.push_back({4000.0 + 250 * k, 5000.0f * static_cast<float>(k), "", true});
  app.s.View.opened = true;
  app.s.View.width = kWidth;
  app.s.View.height = kHeight;
  for (auto _ : state) RedrawSpectrumView(app);
}
BENCHMARK(BM_SpectrumViewRedraw)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lxr4
