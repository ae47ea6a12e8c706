// App: the program as one object: its state, the window it talks to, and the
// routing of the windows' events to their handlers.
#pragma once

#include "state/program.h"
#include "state/window.h"

namespace lxr4 {

class App final : public Program, public EventSink {
 public:
  explicit App(Window& window) : Program(window) {}

  void OnEvent(Control control, Event event) override;
  void OnMenu(MenuItem item) override;
  void OnLineTableEdit(const LineTableEdit& edit) override;
  void OnSpectrumView(const ViewInput& input) override;
  void OnMeasurementTableEdit(const MeasurementTableEdit& edit) override;

  void DrawImage(Slot slot) override;
  void DrawGraph() override;
  void GraphSpectrum(Slot slot) override;

 private:
  // The handler of each event and menu item; the Spectrum view is drawn again after it.
  void Route(Control control, Event event);
  void Choose(MenuItem item);
};

}  // namespace lxr4
