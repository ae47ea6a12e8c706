// QtWindow: the program's real window system. It builds the main window
// `Spectra` and the contrast dialog `frmcontrast` from the control table and
// the main window's menu bar from the menu table (menu_bar.cpp),
// turns the user's widget actions into the program's events (user_events.cpp)
// and carries out the program's window, dialog, printer and file operations.
#pragma once

#include <QSize>
#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "qt/qt_printer.h"
#include "platform/surface.h"
#include "state/window.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace lxr4 {

class MainForm;
class SurfaceForm;
class ProgramDialog;
class LineTableDialog;
class MeasurementTableDialog;
class SpectrumViewWindow;
class OpenFolder;

// The object name of a question's message box (Ask).
inline constexpr const char* kQuestionName = "question";

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
  void UsePrinter(lxr4::Printer* printer) { printer_ = printer != nullptr ? printer : &systemPrinter_; }

  // The next open-file dialog is answered with `path`, as typed, without
  // showing the dialog: the files named on the command line load through the
  // same handlers as those chosen in it.
  void AnswerNextOpen(std::string path) { queuedOpens_.push_back(std::move(path)); }
  // The open-file dialog starts in `folder`'s folder and tells it the file
  // chosen; without one (null) it starts where Qt's dialog does.
  void UseOpenFolder(OpenFolder* folder) { openFolder_ = folder != nullptr ? folder : defaultFolder_.get(); }

  // The widget of a control; a form's own window for Spectra and frmcontrast.
  [[nodiscard]] QWidget* Widget(Control control) const;
  // The main window's client area below its menu bar, 775 x 379, which
  // carries its controls and shows its drawing surface.
  [[nodiscard]] QWidget* ClientArea() const;
  [[nodiscard]] QMenuBar* MenuBar() const;
  // A menu item's action (a submenu's own action for Open Recent), and the menu that holds it.
  [[nodiscard]] QAction* MenuAction(MenuItem item) const;
  [[nodiscard]] QMenu* MenuOf(MenuItem item) const;
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

  void PaintPoints(std::span<const PaintedPoint> points) override;
  void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) override;
  void ClearGraph() override;

  void MessageBox(std::string_view text) override;
  // A message box named kQuestionName; Enter presses No (Yes/No) or OK (OK/Cancel).
  [[nodiscard]] bool Ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex,
                                            int flags) override;
  std::optional<SaveAnswer> SaveFileDialog(std::string_view filter) override;
  // fits_import_dialog.cpp; the setting is kept in the user's settings.
  std::optional<FitsImportFields> FitsImportDialog(const FitsImportFields& shown) override;
  [[nodiscard]] std::string FitsImportSetting() const override;
  void KeepFitsImportSetting(const std::string& words) override;

  // The Calibration menu's dialogs (calibration_window.cpp); the instrument
  // settings are kept in the user's settings.
  std::optional<InstrumentFields> InstrumentDialog(const InstrumentFields& current) override;
  std::optional<LampFields> LampDialog(const LampFields& current) override;
  std::optional<AutoStartFields> AutoStartDialog(const AutoStartFields& current) override;
  [[nodiscard]] std::optional<InstrumentFields> KeptInstrument() const override;
  void KeepInstrument(const InstrumentFields& fields) override;
  void SetLineTable(const LineTable& table) override;
  void ShowLineTable() override;
  // The Spectrum view (spectrum_view.cpp), made on first use.
  void SetSpectrumView(const PlotPicture& picture) override;
  void SetSpectrumViewControls(const ViewControls& controls) override;
  void ShowSpectrumView() override;
  [[nodiscard]] ViewSize SpectrumViewSize() const override;
  [[nodiscard]] SpectrumViewWindow* SpectrumView();
  // The Lines and Residuals dialog, made on first use.
  [[nodiscard]] LineTableDialog* LinesDialog();
  // The Measure menu's dialogs (measure_window.cpp); the observing site is
  // kept in the user's settings.
  std::optional<ObservationFields> ObservationDialog(const ObservationFields& current) override;
  std::optional<std::vector<std::string>> OpenFilesDialog(std::string_view filter) override;
  std::optional<MastersFields> MastersDialog(const MastersFields& current) override;
  std::optional<ExtractionFields> ExtractionDialog(const ExtractionFields& current) override;
  std::optional<ResponseFields> ResponseDialog(const ResponseFields& current) override;
  [[nodiscard]] std::optional<ObservationFields> KeptSite() const override;
  void KeepSite(const ObservationFields& fields) override;
  void SetMeasurementTable(const MeasurementTable& table) override;
  void ShowMeasurementTable() override;
  // The Measurements table, made on first use.
  [[nodiscard]] MeasurementTableDialog* MeasurementsDialog();

  [[nodiscard]] bool MenuTicked(MenuItem item) const override;
  // The recent files are kept in the user's settings, newest first.
  void AddRecentFile(const RecentFile& file) override;
  [[nodiscard]] std::optional<RecentFile> ChosenRecentFile() const override { return chosenRecent_; }
  [[nodiscard]] std::string UserGuidePath() const override;
  [[nodiscard]] bool OpenDocument(const std::string& path) override;

  [[nodiscard]] lxr4::Printer& Printer() override { return *printer_; }
  [[nodiscard]] FileStore& Files() override { return files_; }
  void EndProgram() override;

 private:
  void Build(const ControlInfo& info);
  // Connects every widget's user actions to the program's events; the one
  // place where widget signals become events (user_events.cpp).
  void ConnectUserEvents();
  // The keys that move the cursor bar (user_events.cpp).
  void ConnectCursorKeys();
  // Hands one event to the program, unless it has ended.
  void Deliver(Control control, Event event);
  void DeliverMenu(MenuItem item);
  // Puts a non-modal dialog beside the main window, no smaller than `least`
  // (calibration_window.cpp).
  void PlaceBesideMain(QWidget* dialog, QSize least);
  // A chosen file's path as the program takes it: from the working folder for
  // a file within it, else whole.
  [[nodiscard]] static std::string PathAsChosen(const QString& file);
  // The menu bar from the menu table, and the entries of Open Recent from the settings.
  void BuildMenus();
  void FillRecentMenu();
  template <class W>
  [[nodiscard]] W* As(Control control) const;

  Surface windowSurface_{kMainWidth, kMainHeight, kWindowGrey};
  Surface graphSurface_{kGraphWidth, kGraphHeight, kWhite};
  std::unique_ptr<MainForm> main_;  // owns every other widget
  SurfaceForm* client_ = nullptr;
  std::vector<QAction*> menuActions_;  // by MenuItem
  std::vector<QMenu*> itemMenus_;      // the menu holding each item
  QMenu* recentMenu_ = nullptr;
  std::optional<RecentFile> chosenRecent_;
  ProgramDialog* contrast_ = nullptr;
  LineTableDialog* lines_ = nullptr;
  bool linesPlaced_ = false;  // the Lines and Residuals dialog has been placed beside the main window
  MeasurementTableDialog* measurements_ = nullptr;
  bool measurementsPlaced_ = false;
  SpectrumViewWindow* view_ = nullptr;
  bool viewPlaced_ = false;
  std::vector<QWidget*> widgets_;
  std::vector<std::string> captions_;
  std::vector<Rgb> colours_;
  QtPrinter systemPrinter_;
  lxr4::Printer* printer_ = &systemPrinter_;
  std::deque<std::string> queuedOpens_;
  std::unique_ptr<OpenFolder> defaultFolder_;  // the last folder chosen, else the working folder
  OpenFolder* openFolder_ = nullptr;
  DiskFiles files_;
  EventSink* sink_ = nullptr;
  bool ended_ = false;
};

}  // namespace lxr4
