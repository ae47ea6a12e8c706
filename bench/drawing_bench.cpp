// Timings of one full image drawing (768 x 20 points) plus its two crop lines,
// in image mode and as a coloured band, through the scripted platform (with
// and without its transcript) and, when the Qt window is built, through the
// real window on the offscreen platform, its repaint included; and of saving
// the window so drawn as a picture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <streambuf>

#include "app/procedures.h"
#include "platform/png_writer.h"
#include "script/recording_window.h"
#include "script/script_window.h"

#if __has_include(<QApplication>)
#include <QAbstractButton>
#include <QApplication>

#include "qt/qt_window.h"
#define LXR4_BENCH_QT 1
#endif

namespace lxr4 {
namespace {

// A full object image with a calibration in force: a swath on rows 6..15
// over a dimmer sky, with noise.
void LoadFullImage(App& app) {
  Spectra_Load(app);
  CameraImage& image = app.s.Object;
  std::uint32_t seed = 2024;
  for (int r = 1; r <= kGridRows; ++r) {
    for (int k = 1; k <= kGridColumns; ++k) {
      seed = seed * 1664525u + 1013904223u;
      const int value = (r >= 6 && r <= 15 ? 1500 + k : 300) + static_cast<int>(seed >> 24);
      image.Pixels.at(k, r) = static_cast<std::int16_t>(value);
      app.s.ObjectSpectrum[k] += value;
    }
  }
  image.Width = kGridColumns;
  image.Height = std::int16_t{kGridRows};
  image.Background = std::int16_t{100};
  image.Range = std::int32_t{2000};
  image.OriginX = 3.0;
  image.OriginY = 8;
  image.Loaded = kTrue;
  app.s.PixelWidth = 9.0f;
  app.s.FocalLength = 53.7107;
  app.s.AlphaAngle = 9.75531;
  app.s.CalibrationDone = true;
}

void DrawOnce(App& app) {
  DrawObjectImage(app);
  DrawCropLines(app, Slot::Object);
}

class NullBuffer final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return c; }
};

void BM_ScriptImage(benchmark::State& state) {
  ScriptWindow window;
  App app(window);
  window.SetSink(&app);
  LoadFullImage(app);
  for (auto _ : state) DrawOnce(app);
  benchmark::DoNotOptimize(window.WindowSurface().Pixels().data());
}
BENCHMARK(BM_ScriptImage)->Unit(benchmark::kMillisecond);

void BM_ScriptColouredBand(benchmark::State& state) {
  ScriptWindow window;
  App app(window);
  window.SetSink(&app);
  LoadFullImage(app);
  window.Click(Control::chkexpand);
  for (auto _ : state) DrawOnce(app);
  benchmark::DoNotOptimize(window.WindowSurface().Pixels().data());
}
BENCHMARK(BM_ScriptColouredBand)->Unit(benchmark::kMillisecond);

// As lxr4-script runs it: every call also goes through the transcript.
void BM_ScriptImageWithTranscript(benchmark::State& state) {
  ScriptWindow window;
  NullBuffer nothing;
  std::ostream out(&nothing);
  Transcript transcript(out);
  RecordingWindow recording(window, transcript);
  App app(recording);
  window.SetSink(&app);
  LoadFullImage(app);
  for (auto _ : state) DrawOnce(app);
  transcript.Finish();
}
BENCHMARK(BM_ScriptImageWithTranscript)->Unit(benchmark::kMillisecond);

void BM_PngOfWindow(benchmark::State& state) {
  ScriptWindow window;
  App app(window);
  window.SetSink(&app);
  LoadFullImage(app);
  DrawOnce(app);
  for (auto _ : state) benchmark::DoNotOptimize(PngBytes(window.WindowSurface()));
}
BENCHMARK(BM_PngOfWindow)->Unit(benchmark::kMillisecond);

#ifdef LXR4_BENCH_QT
QApplication& Application() {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "drawing_bench";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  return application;
}

// The drawing and the repaint of the window that it causes.
void QtDrawings(benchmark::State& state, bool band) {
  Application();
  QtWindow window;
  App app(window);
  window.SetEventSink(&app);
  LoadFullImage(app);
  if (band) static_cast<QAbstractButton*>(window.Widget(Control::chkexpand))->setChecked(true);
  window.ShowCentred();
  QApplication::processEvents();
  for (auto _ : state) {
    DrawOnce(app);
    QApplication::processEvents();
  }
}

void BM_QtImage(benchmark::State& state) { QtDrawings(state, false); }
BENCHMARK(BM_QtImage)->Unit(benchmark::kMillisecond);

void BM_QtColouredBand(benchmark::State& state) { QtDrawings(state, true); }
BENCHMARK(BM_QtColouredBand)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace lxr4
