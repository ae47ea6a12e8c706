// The platform interface: every operation the program performs on its two
// windows and dialogs, and the printer and file store it hands out. The program's logic talks to the
// outside world only through it; the Qt window (lxr4) and the scripted
// platform (lxr4-script) are its two implementations.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "base/controls.h"
#include "base/fits_import_fields.h"
#include "base/line_table.h"
#include "base/menus.h"
#include "state/file_store.h"
#include "base/num.h"
#include "state/printer.h"

namespace lxr4 {

// A point painted on the main window surface, at single-precision coordinates.
struct PaintedPoint {
  float x = 0, y = 0;
  Rgb colour;
};

struct Bounds {
  std::int16_t left = 0, top = 0, width = 0, height = 0;
};

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

 protected:
  ~EventSink() = default;
};

// The answer of a save-file dialog: the chosen path and the chosen file type,
// counted from 1 in the order of the dialog's filter.
struct SaveAnswer {
  std::string path;
  int type = 1;
};

// The two buttons of a question: Yes and No, or OK and Cancel.
enum class Buttons : std::uint8_t { YesNo, OkCancel };

// An entry of File > Open Recent: a loaded image file and the slot it went to.
struct RecentFile {
  std::string path;
  bool calibration = false;  // loaded by "Load Cal", else by "Load Spectra"
};

// The fields of the Instrument dialog as typed; the pixel size empty for
// "the image header's".
struct InstrumentFields {
  std::string grooveDensity, deviationAngle, referenceColumn;
  bool correction = true;
  std::string pixelSize;

  friend bool operator==(const InstrumentFields&, const InstrumentFields&) = default;
};

class Window {
 public:
  virtual ~Window() = default;

  // --- controls
  virtual void SetCaption(Control label, std::string_view text) = 0;
  // A label's text colour or a rectangle outline's border colour.
  virtual void SetColour(Control control, Rgb colour) = 0;
  virtual void AppendEntry(Control combo, std::string_view text) = 0;
  // Selects entry `index` (0-based); the combo's click handler runs at once, nested.
  virtual void SelectEntry(Control combo, int index) = 0;
  [[nodiscard]] virtual int SelectedIndex(Control combo) const = 0;
  [[nodiscard]] virtual int Value(Control scrollBar) const = 0;
  // A different value runs the bar's change handler at once, nested; the same value runs nothing.
  virtual void SetValue(Control scrollBar, int value) = 0;
  // A maximum below the value moves the value to it, which is a change.
  virtual void SetMaximum(Control scrollBar, int maximum) = 0;
  [[nodiscard]] virtual bool Ticked(Control checkBox) const = 0;
  // Sets an option button's state; runs no handler.
  virtual void SetOption(Control optionButton, bool selected) = 0;
  [[nodiscard]] virtual std::string Text(Control textBox) const = 0;
  virtual void SetText(Control textBox, std::string_view text) = 0;
  [[nodiscard]] virtual Bounds GetBounds(Control control) const = 0;
  // Shows a dialog modally: returns once it has been hidden again.
  virtual void ShowDialog(Control form) = 0;
  virtual void HideDialog(Control form) = 0;

  // --- drawing; coordinates in pixels, rounded to the nearest pixel when painted
  // Points on the main window surface, painted in order; an image is painted a
  // row or a column at a time.
  virtual void PaintPoints(std::span<const PaintedPoint> points) = 0;
  // `surface` is Spectra (the main window) or Picgraph (the graph box).
  virtual void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) = 0;
  virtual void ClearGraph() = 0;

  // --- modal dialogs
  virtual void MessageBox(std::string_view text) = 0;
  // The typed text, or nullopt when cancelled.
  virtual std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                              std::string_view defaultText) = 0;
  // A message box asking `text` with two buttons: true for Yes or OK, false
  // for No or Cancel (also when it is closed).
  [[nodiscard]] virtual bool Ask(std::string_view text, Buttons buttons) = 0;
  // The chosen path, or nullopt when cancelled.
  virtual std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex,
                                                    int flags) = 0;
  // The save-file dialog; `filter` as the open-file dialog's ("PDF (*.pdf)|*.pdf|..."),
  // its first type chosen at first. An existing file is replaced only once the
  // user has agreed to it. nullopt when cancelled.
  virtual std::optional<SaveAnswer> SaveFileDialog(std::string_view filter) = 0;
  // The FITS import settings dialog, showing `shown`: the fields as the user
  // left them, or nullopt when cancelled.
  virtual std::optional<FitsImportFields> FitsImportDialog(const FitsImportFields& shown) = 0;

  // --- menus
  // Whether a checkable menu item carries its tick.
  [[nodiscard]] virtual bool MenuTicked(MenuItem item) const = 0;
  // Remembers a loaded file for File > Open Recent (a note of the window's own,
  // kept between runs where the window can).
  virtual void AddRecentFile(const RecentFile& file) = 0;
  // The entry of File > Open Recent the user chose last; nullopt when none.
  [[nodiscard]] virtual std::optional<RecentFile> ChosenRecentFile() const = 0;

  // --- settings
  // The FITS import settings the program keeps (as its words), kept between
  // runs where the window can; "" before the first.
  [[nodiscard]] virtual std::string FitsImportSetting() const = 0;
  virtual void KeepFitsImportSetting(const std::string& words) = 0;

  // --- calibration dialogs
  // The Instrument dialog, modal, its fields filled from `current`: the
  // fields as the user left them on OK, nullopt on Cancel. The program opens
  // it again with the fields as typed when it refuses them.
  virtual std::optional<InstrumentFields> InstrumentDialog(const InstrumentFields& current) = 0;
  // The instrument settings kept between runs in the user's settings; a
  // window that keeps none (a scripted session) returns nullopt.
  [[nodiscard]] virtual std::optional<InstrumentFields> KeptInstrument() const { return std::nullopt; }
  virtual void KeepInstrument(const InstrumentFields&) {}
  // The Lines and Residuals dialog: its new contents (whether it is shown or
  // not), and showing it, non-modal: the program goes on while it is open.
  virtual void SetLineTable(const LineTable& table) = 0;
  virtual void ShowLineTable() = 0;

  // --- documents
  // Where the user guide lies (platform/documents.h); empty when it was not found.
  [[nodiscard]] virtual std::string UserGuidePath() const = 0;
  // Shows a document with the desktop's viewer; false when that cannot be done.
  [[nodiscard]] virtual bool OpenDocument(const std::string& path) = 0;

  // --- the printer and the files the program works with
  [[nodiscard]] virtual lxr4::Printer& Printer() = 0;
  [[nodiscard]] virtual FileStore& Files() = 0;

  // Ends the program at once.
  virtual void EndProgram() = 0;
};

}  // namespace lxr4
