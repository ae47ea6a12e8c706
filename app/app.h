// App: the program as one object: its state, the window it talks to, and the
// routing of the windows' events to their handlers.
#pragma once

#include <memory>

#include "app/app_state.h"
#include "platform/window.h"

namespace lxr4 {

class App final : public EventSink {
 public:
  explicit App(Window& window) : w(window) {}
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  void OnEvent(Control control, Event event) override;
  void OnMenu(MenuItem item) override;
  void OnLineTableEdit(const LineTableEdit& edit) override;

  AppState s;
  Window& w;
};

}  // namespace lxr4
