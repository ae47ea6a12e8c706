// ScriptWindow: the scripted platform. An in-memory window with every control,
// the two drawing surfaces, the scripted printer and the queues of answers for
// modal dialogs. It follows the window rules of the real window: a scroll bar
// value or combo entry set from code runs that control's handler at once,
// nested, through the EventSink; option buttons set from code run nothing.
// It writes no transcript itself (RecordingWindow does).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/script/controls_model.h"
#include "platform/script/script_printer.h"
#include "platform/script/user_actions.h"
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
  void SetLineTable(const LineTable& table) override { table_ = table; }
  void ShowLineTable() override { tableShown_ = true; }
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
  void QueueOpen(std::optional<std::string> path) override { opens_.push_back(std::move(path)); }
  void QueueInput(std::optional<std::string> text) override { inputs_.push_back(std::move(text)); }
  void QueueContrast(std::optional<ContrastAnswer> answer) override {
    contrasts_.push_back(std::move(answer));
  }
  void QueueSave(std::optional<SaveAnswer> answer) override { saves_.push_back(std::move(answer)); }
  void QueueFitsImport(std::optional<FitsImportFields> answer) override {
    fitsImports_.push_back(std::move(answer));
  }
  void QueueInstrument(std::optional<InstrumentFields> answer) override {
    instruments_.push_back(std::move(answer));
  }
  void QueueQuestion(QuestionButton button) override { questions_.push_back(button); }
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
  void Send(Control c, Event e);
  // Sets a scroll bar's value, clamped to its range; runs its change handler
  // when the value differs.
  void MoveBar(Control bar, int value);

  ControlsModel controls_;
  Surface window_;
  Surface graph_;
  ScriptPrinter printer_;
  DiskFiles files_;
  std::deque<std::optional<std::string>> opens_, inputs_;
  std::deque<std::optional<ContrastAnswer>> contrasts_;
  std::deque<std::optional<SaveAnswer>> saves_;
  std::deque<std::optional<FitsImportFields>> fitsImports_;
  std::string fitsImportSetting_;
  std::deque<std::optional<InstrumentFields>> instruments_;
  std::deque<QuestionButton> questions_;
  LineTable table_;
  bool tableShown_ = false;  // the Lines and Residuals dialog, once shown, stays open
  std::vector<bool> menuTicks_ = std::vector<bool>(AllMenuItems().size(), false);
  EventSink* sink_ = nullptr;
  mutable std::optional<std::string> error_;  // the last script error raised
  bool ended_ = false;
};

}  // namespace lxr4
