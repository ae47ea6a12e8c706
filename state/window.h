// The platform interface: every operation the program performs on its
// windows and dialogs, and the printer and file store it hands out. The
// program's logic talks to the outside world only through it; the Qt window
// (lxr4) and the scripted platform (lxr4-script) are its implementations.
// It is put together from one small interface per role, so a new dialog
// or view adds to one of them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/controls.h"
#include "base/line_table.h"
#include "base/menus.h"
#include "state/file_store.h"
#include "state/printer.h"
#include "state/window_controls.h"
#include "state/window_dialogs.h"
#include "state/window_settings.h"
#include "state/window_views.h"

namespace lxr4 {

// The events the windows deliver to the program.
enum class Event : std::uint8_t { Load, Unload, Click, Scroll, Change };

// Receives the windows' events; the program implements it. Implementations of
// Window call it for user actions and for the nested handlers that the window
// rules require (a scroll bar's value changed from code, a combo entry
// selected from code).
class EventSink {
 public:
  virtual void OnEvent(Control control, Event event) = 0;
  // A menu item was chosen (a checkable item has toggled its tick already).
  // A sink that takes no menu items leaves it as it is.
  virtual void OnMenu(MenuItem) {}
  // The user ticked or cleared a row's "used" box, or removed a row, in the
  // Lines and Residuals dialog.
  virtual void OnLineTableEdit(const LineTableEdit&) {}
  // The user worked in the Spectrum view.
  virtual void OnSpectrumView(const ViewInput&) {}
  // The user removed rows of the Measurements table, or cleared it.
  virtual void OnMeasurementTableEdit(const MeasurementTableEdit&) {}

 protected:
  ~EventSink() = default;
};

class Window : public WindowControls, public WindowDialogs, public WindowViews, public WindowSettings {
 public:
  virtual ~Window() = default;

  // --- the printer and the files the program works with
  [[nodiscard]] virtual lxr4::Printer& Printer() = 0;
  [[nodiscard]] virtual FileStore& Files() = 0;

  // Ends the program at once.
  virtual void EndProgram() = 0;
};

}  // namespace lxr4
