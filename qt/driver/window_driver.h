// WindowDriver: plays a session script's user on the real Qt window. Each
// action of the script becomes the widget action a user's input makes (a
// button's click, a combo entry chosen in its list, a scroll bar's thumb held,
// moved and let go, an arrow or trough step, a menu item chosen in its open
// menu, the window closed), so the
// program's events come through the window's own signal connections. Modal
// dialogs are answered from the script's queued answers through their own
// widgets; the window prints on the scripted printer.
//
// Give the program (through a RecordingWindow) this driver as its window: it
// passes every call on to the QtWindow. A session stops early by an exception
// (a script error, the end of the program, a failure of the program), which
// may not travel through Qt's frames: a handler's exception is caught where
// the window delivers the event, kept, and thrown again on the program's side
// of the next window call or after the action (RaiseDropped).
#pragma once

#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "qt/qt_window.h"
#include "script/dialog_answers.h"
#include "script/script_printer.h"
#include "script/user_actions.h"

class QComboBox;
class QDialog;
class QFileDialog;

namespace lxr4 {

class DialogWatcher;
class SpectrumViewWindow;

class WindowDriver final : public Window, public UserActions, public EventSink {
 public:
  // Takes over the window's events and printer until destroyed; needs a QApplication.
  explicit WindowDriver(QtWindow& window);
  ~WindowDriver() override;
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

  // The program, which receives the window's events.
  void SetProgram(EventSink& program) { program_ = &program; }

  // --- EventSink: an event of the window, handed to the program
  void OnEvent(Control control, Event event) override;
  void OnMenu(MenuItem item) override;
  void OnLineTableEdit(const LineTableEdit& edit) override;
  void OnSpectrumView(const ViewInput& input) override;
  void OnMeasurementTableEdit(const MeasurementTableEdit& edit) override;

  // --- Window: passed on to the QtWindow
  void SetCaption(Control label, std::string_view text) override { window_.SetCaption(label, text); }
  void SetColour(Control control, Rgb colour) override { window_.SetColour(control, colour); }
  void AppendEntry(Control combo, std::string_view text) override { window_.AppendEntry(combo, text); }
  void SelectEntry(Control combo, int index) override;
  [[nodiscard]] int SelectedIndex(Control combo) const override { return window_.SelectedIndex(combo); }
  [[nodiscard]] int Value(Control scrollBar) const override { return window_.Value(scrollBar); }
  void SetValue(Control scrollBar, int value) override;
  void SetMaximum(Control scrollBar, int maximum) override;
  [[nodiscard]] bool Ticked(Control checkBox) const override { return window_.Ticked(checkBox); }
  void SetOption(Control optionButton, bool selected) override { window_.SetOption(optionButton, selected); }
  [[nodiscard]] std::string Text(Control textBox) const override { return window_.Text(textBox); }
  void SetText(Control textBox, std::string_view text) override { window_.SetText(textBox, text); }
  [[nodiscard]] Bounds GetBounds(Control control) const override { return window_.GetBounds(control); }
  void ShowDialog(Control form) override;
  void HideDialog(Control form) override { window_.HideDialog(form); }
  void PaintPoints(std::span<const PaintedPoint> points) override { window_.PaintPoints(points); }
  void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) override {
    window_.DrawLine(surface, x1, y1, x2, y2, colour);
  }
  void ClearGraph() override { window_.ClearGraph(); }
  void MessageBox(std::string_view text) override;
  [[nodiscard]] bool Ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex, int flags) override;
  std::optional<SaveAnswer> SaveFileDialog(std::string_view filter) override;
  std::optional<FitsImportFields> FitsImportDialog(const FitsImportFields& shown) override;
  [[nodiscard]] std::string FitsImportSetting() const override { return window_.FitsImportSetting(); }
  void KeepFitsImportSetting(const std::string& words) override { window_.KeepFitsImportSetting(words); }
  std::optional<InstrumentFields> InstrumentDialog(const InstrumentFields& current) override;
  std::optional<LampFields> LampDialog(const LampFields& current) override;
  std::optional<AutoStartFields> AutoStartDialog(const AutoStartFields& current) override;
  std::optional<ObservationFields> ObservationDialog(const ObservationFields& current) override;
  std::optional<std::vector<std::string>> OpenFilesDialog(std::string_view filter) override;
  std::optional<MastersFields> MastersDialog(const MastersFields& current) override;
  std::optional<ExtractionFields> ExtractionDialog(const ExtractionFields& current) override;
  std::optional<ResponseFields> ResponseDialog(const ResponseFields& current) override;
  void SetMeasurementTable(const MeasurementTable& table) override { window_.SetMeasurementTable(table); }
  void ShowMeasurementTable() override { window_.ShowMeasurementTable(); }
  // A driven session keeps no settings, as the scripted window: the user's own
  // would change the transcript.
  [[nodiscard]] std::optional<InstrumentFields> KeptInstrument() const override { return std::nullopt; }
  void KeepInstrument(const InstrumentFields&) override {}
  [[nodiscard]] std::optional<ObservationFields> KeptSite() const override { return std::nullopt; }
  void KeepSite(const ObservationFields&) override {}
  void SetLineTable(const LineTable& table) override { window_.SetLineTable(table); }
  void ShowLineTable() override { window_.ShowLineTable(); }
  // The latest picture is kept, to find the pixels of values and to save it.
  void SetSpectrumView(const PlotPicture& picture) override {
    viewPicture_ = picture;
    window_.SetSpectrumView(picture);
  }
  void SetSpectrumViewControls(const ViewControls& controls) override {
    window_.SetSpectrumViewControls(controls);
  }
  void ShowSpectrumView() override { window_.ShowSpectrumView(); }
  [[nodiscard]] ViewSize SpectrumViewSize() const override { return window_.SpectrumViewSize(); }
  [[nodiscard]] bool MenuTicked(MenuItem item) const override { return window_.MenuTicked(item); }
  void AddRecentFile(const RecentFile& file) override { window_.AddRecentFile(file); }
  [[nodiscard]] std::optional<RecentFile> ChosenRecentFile() const override {
    return window_.ChosenRecentFile();
  }
  [[nodiscard]] std::string UserGuidePath() const override { return window_.UserGuidePath(); }
  [[nodiscard]] bool OpenDocument(const std::string& path) override { return window_.OpenDocument(path); }
  [[nodiscard]] lxr4::Printer& Printer() override { return window_.Printer(); }
  [[nodiscard]] FileStore& Files() override { return window_.Files(); }
  void EndProgram() override;

  // --- UserActions: the script's user
  void Click(Control control) override;
  void Select(Control combo, int index) override;
  void Drag(Control scrollBar, int value) override;
  void Release(Control scrollBar) override;
  void Set(Control scrollBar, int value) override;
  void Close() override;
  void ChooseMenu(MenuItem item) override;
  void EditLineTable(const LineTableEdit& edit) override;
  void EditMeasurementTable(const MeasurementTableEdit& edit) override;
  // In the Spectrum view (view_actions.cpp): the widgets worked, the canvas
  // clicked, dragged, turned and keyed at the pixels the scripted window uses.
  void ActInView(const ViewAction& action) override;
  [[nodiscard]] Surface ViewPicture(int width, int height) override;
  [[nodiscard]] DialogAnswers& Answers() override { return answers_; }
  void SetPrinter(std::optional<PageSize> page) override { printer_.SetPage(page); }
  [[nodiscard]] ControlView View(Control control) const override;
  [[nodiscard]] const Surface& WindowSurface() const override { return window_.WindowSurface(); }
  [[nodiscard]] const Surface& GraphSurface() const override { return window_.GraphSurface(); }
  void RaiseDropped() override;

 private:
  friend class DialogWatcher;

  // Answers a modal dialog that has just opened (dialog_answers.cpp).
  void Answer(QDialog* dialog);
  void AnswerContrast(QDialog* dialog);
  void AnswerInput(QDialog* dialog);
  void AnswerOpen(QDialog* dialog);
  void AnswerSave(QFileDialog* dialog);
  void AnswerFitsImport(QDialog* dialog);
  void AnswerInstrument(QDialog* dialog);
  void AnswerLamp(QDialog* dialog);
  template <typename T, typename Fill>
  void AnswerFields(QDialog* dialog, AnswerQueue<std::optional<T>>& queue, const std::string& what, Fill fill);
  void AnswerAutoStart(QDialog* dialog);
  void AnswerObservation(QDialog* dialog);
  void AnswerOpenMany(QFileDialog* dialog);
  void AnswerMasters(QDialog* dialog);
  void AnswerExtraction(QDialog* dialog);
  void AnswerResponse(QDialog* dialog);
  void AnswerQuestion(QDialog* dialog);
  // Chooses entry `index` of a combo box in its open list, taken with the Enter key.
  static void ChooseEntry(QComboBox* box, int index);
  // The same in the dialog's combo box named `name`, if it has one.
  static void ChooseIn(QDialog* dialog, const char* name, int index);
  // Keeps a script error `what` and closes `dialog` unanswered.
  void Refuse(QDialog* dialog, const std::string& what);
  // After an answer: a stopping session closes the dialog; a dialog the
  // program keeps open takes the next answer.
  void AfterAnswer(QDialog* dialog);

  // The Spectrum view, when it is open; a script error otherwise.
  SpectrumViewWindow* OpenView();

  // Keeps the first reason to stop the session.
  void Stop(std::exception_ptr reason);
  // Throws the kept reason, on the program's side of a window call.
  void RaiseStop() const;
  // Lets the window catch up (painting) after a user action.
  void Settle();

  QtWindow& window_;
  EventSink* program_ = nullptr;
  ScriptPrinter printer_;
  DialogAnswers answers_;
  LampFields lampShown_;  // the Lamp dialog's fields as it opened
  std::exception_ptr stop_;
  PlotPicture viewPicture_;
  std::unique_ptr<DialogWatcher> watcher_;
};

}  // namespace lxr4
