// QtWindow: the program's real window system. It builds the main window
// `Spectra` and the contrast dialog `frmcontrast` from the control table,
// turns the user's widget actions into the program's events (user_events.cpp)
// and carries out the program's window, dialog, printer and file operations.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_printer.h"
#include "platform/surface.h"
#include "platform/window.h"

class QWidget;

namespace lxr4 {

class SurfaceForm;
class ProgramDialog;

class QtWindow final : public Window {
 public:
  // Builds both windows, hidden; needs a QApplication.
  QtWindow();
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  // Where the windows' events go (none until set).
  void SetEventSink(EventSink* sink) { sink_ = sink; }
  // Shows the main window in the middle of its screen.
  void ShowCentred();
  // True once the program has ended: the windows are closed and no more
  // events are delivered.
  [[nodiscard]] bool Ended() const { return ended_; }
  // Prints into the PDF file `path` instead of on the default printer.
  void PrintToPdf(const QString& path) { systemPrinter_.SendToPdf(path); }
  // Prints through `printer` from now on instead of the system's printer (a
  // driven session's scripted printer), or again on the system's when null.
  void UsePrinter(Printer* printer) { printer_ = printer != nullptr ? printer : &systemPrinter_; }

  // The widget of a control; a form's own window for Spectra and frmcontrast.
  [[nodiscard]] QWidget* Widget(Control control) const;
  // A control's caption as the program set it (line breaks as CR LF), and its
  // colour (a label's text, an outline's or line's border).
  [[nodiscard]] const std::string& Caption(Control control) const;
  [[nodiscard]] Rgb Colour(Control control) const;
  [[nodiscard]] const Surface& WindowSurface() const { return windowSurface_; }
  [[nodiscard]] const Surface& GraphSurface() const { return graphSurface_; }

  void SetCaption(Control control, std::string_view text) override;
  void SetColour(Control control, Rgb colour) override;
  void AppendEntry(Control combo, std::string_view text) override;
  void SelectEntry(Control combo, int index) override;
  [[nodiscard]] int SelectedIndex(Control combo) const override;
  [[nodiscard]] int Value(Control scrollBar) const override;
  void SetValue(Control scrollBar, int value) override;
  void SetMaximum(Control scrollBar, int maximum) override;
  [[nodiscard]] bool Ticked(Control checkBox) const override;
  void SetOption(Control optionButton, bool selected) override;
  [[nodiscard]] std::string Text(Control textBox) const override;
  void SetText(Control textBox, std::string_view text) override;
  [[nodiscard]] Bounds GetBounds(Control control) const override;
  void ShowDialog(Control form) override;
  void HideDialog(Control form) override;

  void PaintPoint(Num x, Num y, Rgb colour) override;
  void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) override;
  void ClearGraph() override;

  void MessageBox(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex,
                                            int flags) override;

  [[nodiscard]] bool PrinterSetup(int value) override;
  [[nodiscard]] std::optional<PageSize> PrinterSize() override;
  [[nodiscard]] std::optional<TextSize> PrinterMeasure(std::string_view text) override;
  [[nodiscard]] bool PrinterText(Num x, Num y, std::string_view text) override;
  [[nodiscard]] bool PrinterLine(Num x1, Num y1, Num x2, Num y2) override;
  [[nodiscard]] bool PrinterEnd() override;
  void PrinterAbort() override;

  [[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                                  std::size_t maxBytes) override;
  [[nodiscard]] FileError WriteFile(const std::string& path,
                                    std::span<const std::uint8_t> bytes) override;
  [[nodiscard]] bool SameFile(const std::string& a, const std::string& b) override;

  void EndProgram() override;

 private:
  void Build(const ControlInfo& info);
  // Connects every widget's user actions to the program's events; the one
  // place where widget signals become events (user_events.cpp).
  void ConnectUserEvents();
  // Hands one event to the program, unless it has ended.
  void Deliver(Control control, Event event);
  template <class W>
  [[nodiscard]] W* As(Control control) const;

  Surface windowSurface_{kMainWidth, kMainHeight, kWindowGrey};
  Surface graphSurface_{kGraphWidth, kGraphHeight, kWhite};
  std::unique_ptr<SurfaceForm> main_;  // owns every other widget
  ProgramDialog* contrast_ = nullptr;
  std::vector<QWidget*> widgets_;
  std::vector<std::string> captions_;
  std::vector<Rgb> colours_;
  QtPrinter systemPrinter_;
  Printer* printer_ = &systemPrinter_;
  EventSink* sink_ = nullptr;
  bool ended_ = false;
};

}  // namespace lxr4
