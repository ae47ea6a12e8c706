// The handlers of the typical session on the real window (Qt's offscreen
// platform unless a display is set), each timed as the user's action through
// the widgets, from the widget's signal to the window painted: each should
// take well under one screen frame (16 ms). The loads and the print include
// the modal dialog the action opens (the file dialog, the message box).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>

#include "app/app.h"
#include "qt/look.h"
#include "qt/qt_window.h"
#include "qt/driver/window_driver.h"

namespace lxr4 {
namespace {

using C = Control;

// Columns of the lamp sample's lines (samples/lamp.truth.txt) and their list entries.
constexpr int kHgColumn = 300, kNeColumn = 480;
constexpr int kHgEntry = 3, kNeEntry = 22;

// One running program on the real window, in a scratch folder holding a copy
// of the samples, with both images loaded.
class Session {
 public:
  Session() {
    driver.SetProgram(*app);
    app->OnEvent(C::Spectra, Event::Load);
    window.ShowCentred();
    Load(C::cmdload2, "samples/lamp.km1");
    Load(C::cmdload, "samples/star.km1");
    driver.RaiseDropped();  // a session that stopped would time nothing
  }
  static Session& Get() { return *running; }

  // The session of the run, between the QApplication's start and end.
  static inline std::unique_ptr<Session> running;

  void Load(Control button, const char* path) {
    driver.Answers().opens.Push(std::string(path));
    driver.Click(button);
  }
  // Graphs the lamp with Line 1 marked on its mercury line and the cursor on the neon line.
  void MarkFirstLine() {
    driver.Click(C::Cmdcalccal);
    driver.Select(C::cboscale, kHgEntry);
    driver.Set(C::hsbspectra, kHgColumn);
    driver.Click(C::cmdmarkline1);
    driver.Select(C::cboscale, kNeEntry);
    driver.Set(C::hsbspectra, kNeColumn);
  }

  QtWindow window;
  WindowDriver driver{window};
  std::unique_ptr<App> app = std::make_unique<App>(driver);  // the state is large
};

// Reports a session that stopped (a dialog without its answer, a failure of
// the program): its later actions would time nothing.
void Check(benchmark::State& state) {
  try {
    Session::Get().driver.RaiseDropped();
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
  } catch (...) {
    state.SkipWithError("the program ended");
  }
}

// Alternates between two values, so that every action is a change.
int Toggle(int& state, int a, int b) { return state = state == a ? b : a; }

void LoadCal(benchmark::State& state) {
  for (auto _ : state) Session::Get().Load(C::cmdload2, "samples/lamp.km1");
  Check(state);
}
// The open-file dialog alone, answered: a load's time less this is its handler's.
void FileDialogAlone(benchmark::State& state) {
  Session& s = Session::Get();
  for (auto _ : state) {
    s.driver.Answers().opens.Push(std::string("samples/lamp.km1"));
    benchmark::DoNotOptimize(s.driver.OpenFileDialog("All Files (*.*)|*.*", 1, 4));
  }
  Check(state);
}
void LoadSpectra(benchmark::State& state) {
  for (auto _ : state) Session::Get().Load(C::cmdload, "samples/star.km1");
  Check(state);
}
void GraphCal(benchmark::State& state) {
  for (auto _ : state) Session::Get().driver.Click(C::Cmdcalccal);
  Check(state);
}
void CropRowSettled(benchmark::State& state) {
  Session& s = Session::Get();
  int row = 7;
  for (auto _ : state) s.driver.Set(C::hsbcropcal1, Toggle(row, 6, 7));
  Check(state);
}
void LineChosen(benchmark::State& state) {
  Session& s = Session::Get();
  int entry = kHgEntry;
  for (auto _ : state) s.driver.Select(C::cboscale, Toggle(entry, kHgEntry, kNeEntry));
  Check(state);
}
void CursorDragged(benchmark::State& state) {
  Session& s = Session::Get();
  int column = kHgColumn;
  for (auto _ : state) s.driver.Drag(C::hsbspectra, Toggle(column, kHgColumn, kHgColumn + 1));
  s.driver.Release(C::hsbspectra);
  Check(state);
}
void CursorSettled(benchmark::State& state) {
  Session& s = Session::Get();
  int column = kHgColumn;
  for (auto _ : state) s.driver.Set(C::hsbspectra, Toggle(column, kHgColumn, kHgColumn + 1));
  Check(state);
}
void MarkLine1(benchmark::State& state) {
  Session& s = Session::Get();
  s.driver.Click(C::Cmdcalccal);
  s.driver.Select(C::cboscale, kHgEntry);
  s.driver.Set(C::hsbspectra, kHgColumn);
  for (auto _ : state) s.driver.Click(C::cmdmarkline1);
  Check(state);
}
void MarkLine2(benchmark::State& state) {
  Session& s = Session::Get();
  s.MarkFirstLine();
  for (auto _ : state) s.driver.Click(C::cmdmarkline2);
  if (!s.app->s.CalibrationDone) state.SkipWithError("the two lines were not fitted");
  Check(state);
}
void GraphSpectra(benchmark::State& state) {
  for (auto _ : state) Session::Get().driver.Click(C::cmdcalcspectra);
  Check(state);
}
void CursorReadsWavelength(benchmark::State& state) {
  Session& s = Session::Get();
  s.driver.Click(C::cmdcalcspectra);
  int column = 381;
  for (auto _ : state) s.driver.Set(C::hsbspectra, Toggle(column, 381, 382));
  Check(state);
}
void CalculateLineWavelength(benchmark::State& state) {
  for (auto _ : state) Session::Get().driver.Click(C::cmdemission);
  Check(state);
}
void MedianTicked(benchmark::State& state) {
  for (auto _ : state) Session::Get().driver.Click(C::chkmedian);
  Check(state);
}
void WriteTextFile(benchmark::State& state) {
  for (auto _ : state) Session::Get().driver.Click(C::cmdtext);
  Check(state);
}
void PrintGraph(benchmark::State& state) {
  for (auto _ : state) Session::Get().driver.Click(C::cmdprint);
  Check(state);
}

// In the order of the typical session.
BENCHMARK(FileDialogAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadCal)->Unit(benchmark::kMillisecond);
BENCHMARK(GraphCal)->Unit(benchmark::kMillisecond);
BENCHMARK(CropRowSettled)->Unit(benchmark::kMillisecond);
BENCHMARK(LineChosen)->Unit(benchmark::kMillisecond);
BENCHMARK(CursorDragged)->Unit(benchmark::kMillisecond);
BENCHMARK(CursorSettled)->Unit(benchmark::kMillisecond);
BENCHMARK(MarkLine1)->Unit(benchmark::kMillisecond);
BENCHMARK(MarkLine2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadSpectra)->Unit(benchmark::kMillisecond);
BENCHMARK(GraphSpectra)->Unit(benchmark::kMillisecond);
BENCHMARK(CursorReadsWavelength)->Unit(benchmark::kMillisecond);
BENCHMARK(CalculateLineWavelength)->Unit(benchmark::kMillisecond);
BENCHMARK(MedianTicked)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteTextFile)->Unit(benchmark::kMillisecond);
BENCHMARK(PrintGraph)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lxr4

// The session runs in a scratch folder with a copy of the samples, so that the
// text files it writes (and Qt's settings) land there.
int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  // Qt's notes about the offscreen platform would break up the table.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
  });
  benchmark::Initialize(&argc, argv);
  const fs::path scratch = fs::temp_directory_path() / "lxr4-session-bench";
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  fs::copy(LXR4_SAMPLES_DIR, scratch / "samples", fs::copy_options::recursive);
  fs::current_path(scratch);
  qputenv("XDG_CONFIG_HOME", (scratch / "config").string().c_str());  // Qt's settings, not the user's
  QApplication application(argc, argv);
  lxr4::ApplyClassicLook();
  lxr4::Session::running = std::make_unique<lxr4::Session>();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  lxr4::Session::running.reset();
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(scratch);
  return 0;
}
