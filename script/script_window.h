// ScriptWindow: the scripted platform. An in-memory window with every control,
// the two drawing surfaces, the scripted printer and the queues of answers for
// modal dialogs. It follows the window rules of the real window: a scroll bar
// value or combo entry set from code runs that control's handler at once,
// nested, through the EventSink; option buttons set from code run nothing.
// It writes no transcript itself (RecordingWindow does).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "script/controls_model.h"
#include "script/dialog_answers.h"
#include "script/script_printer.h"
#include "script/user_actions.h"
#include "platform/surface.h"
#include "state/window.h"

namespace lxr4 {

class ScriptWindow final : public Window, public UserActions {
 public:
  ScriptWindow();

  // The program, which receives the events; set before the first event.
  void SetSink(EventSink* sink) { sink_ = sink; }

  // --- Window
  void SetCaption(Control label, std::string_view text) override;
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
  void PaintPoints(std::span<const PaintedPoint> points) override { window_.Paint(points); }
  void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) override;
  void ClearGraph() override;
  void MessageBox(std::string_view text) override;
  [[nodiscard]] bool Ask(std::string_view text, Buttons buttons) override;
  std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  std::optional<std::string> OpenFileDialog(std::string_view filter, int filterIndex, int flags) override;
  std::optional<SaveAnswer> SaveFileDialog(std::string_view filter) override;
  std::optional<FitsImportFields> FitsImportDialog(const FitsImportFields& shown) override;
  // Kept for the run only: every script starts from the defaults.
  [[nodiscard]] std::string FitsImportSetting() const override { return fitsImportSetting_; }
  void KeepFitsImportSetting(const std::string& words) override { fitsImportSetting_ = words; }
  [[nodiscard]] bool MenuTicked(MenuItem item) const override;
  // The scripted window keeps no list of recent files: no entry is ever chosen.
  void AddRecentFile(const RecentFile&) override {}
  [[nodiscard]] std::optional<RecentFile> ChosenRecentFile() const override { return std::nullopt; }
  std::optional<InstrumentFields> InstrumentDialog(const InstrumentFields& current) override;
  std::optional<LampFields> LampDialog(const LampFields& current) override;
  std::optional<AutoStartFields> AutoStartDialog(const AutoStartFields& current) override;
  std::optional<ObservationFields> ObservationDialog(const ObservationFields& current) override;
  std::optional<std::vector<std::string>> OpenFilesDialog(std::string_view filter) override;
  std::optional<MastersFields> MastersDialog(const MastersFields& current) override;
  std::optional<ExtractionFields> ExtractionDialog(const ExtractionFields& current) override;
  std::optional<ResponseFields> ResponseDialog(const ResponseFields& current) override;
  void SetMeasurementTable(const MeasurementTable& table) override { measurements_ = table; }
  void ShowMeasurementTable() override { measurementsShown_ = true; }
  void SetLineTable(const LineTable& table) override { table_ = table; }
  void ShowLineTable() override { tableShown_ = true; }
  void SetSpectrumView(const PlotPicture& picture) override { viewPicture_ = picture; }
  void SetSpectrumViewControls(const ViewControls& controls) override { viewControls_ = controls; }
  void ShowSpectrumView() override { viewShown_ = true; }
  [[nodiscard]] ViewSize SpectrumViewSize() const override { return viewSize_; }
  [[nodiscard]] std::string UserGuidePath() const override;
  // There is no desktop to show a document on.
  [[nodiscard]] bool OpenDocument(const std::string&) override { return false; }
  [[nodiscard]] lxr4::Printer& Printer() override { return printer_; }
  [[nodiscard]] FileStore& Files() override { return files_; }
  void EndProgram() override;

  // --- UserActions
  void Click(Control control) override;
  void Select(Control combo, int index) override;
  void Drag(Control scrollBar, int value) override;
  void Release(Control scrollBar) override;
  void Set(Control scrollBar, int value) override;
  void Close() override;
  void ChooseMenu(MenuItem item) override;
  void EditLineTable(const LineTableEdit& edit) override;
  void EditMeasurementTable(const MeasurementTableEdit& edit) override;
  void ActInView(const ViewAction& action) override;
  [[nodiscard]] Surface ViewPicture(int width, int height) override;
  [[nodiscard]] DialogAnswers& Answers() override { return answers_; }
  void SetPrinter(std::optional<PageSize> page) override { printer_.SetPage(page); }
  [[nodiscard]] ControlView View(Control control) const override { return controls_.View(control); }
  [[nodiscard]] const Surface& WindowSurface() const override { return window_; }
  [[nodiscard]] const Surface& GraphSurface() const override { return graph_; }
  void RaiseDropped() override;

 private:
  // The control's state, after checking that the program calls `operation` on a
  // control of a kind that has it.
  ControlState& Checked(Control c, const char* operation, std::initializer_list<ControlKind> kinds);
  const ControlState& Checked(Control c, const char* operation,
                              std::initializer_list<ControlKind> kinds) const;
  [[noreturn]] void Fail(const std::string& what) const;
  // The next queued answer of a dialog that has opened; a script error when none is queued.
  template <typename T>
  T Take(AnswerQueue<T>& queue) {
    std::optional<T> answer = queue.Pop();
    if (!answer) Fail(queue.NoneQueued());
    return *std::move(answer);
  }
  void Send(Control c, Event e);
  // Sets a scroll bar's value, clamped to its range; runs its change handler
  // when the value differs.
  void MoveBar(Control bar, int value);

  ControlsModel controls_;
  Surface window_;
  Surface graph_;
  ScriptPrinter printer_;
  DiskFiles files_;
  DialogAnswers answers_;
  std::string fitsImportSetting_;
  LineTable table_;
  MeasurementTable measurements_;
  bool measurementsShown_ = false;  // the Measurements table, once shown, stays open
  bool tableShown_ = false;  // the Lines and Residuals dialog, once shown, stays open
  // The Spectrum view, which once shown stays open: its latest picture, its
  // controls as the program set them and the user changed them, its size.
  PlotPicture viewPicture_;
  ViewControls viewControls_;
  ViewSize viewSize_;
  bool viewShown_ = false;
  std::vector<bool> menuTicks_ = std::vector<bool>(AllMenuItems().size(), false);
  EventSink* sink_ = nullptr;
  mutable std::optional<std::string> error_;  // the last script error raised
  bool ended_ = false;
};

}  // namespace lxr4
