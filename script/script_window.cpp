#include "script/script_window.h"

#include <algorithm>
#include <utility>

#include "platform/documents.h"
#include "platform/scroll_bar_rules.h"
#include "script/script_error.h"

namespace lxr4 {

namespace {
using K = ControlKind;

// The number of file types of a dialog's filter: "Name|pattern" pairs separated by '|'.
int TypeCount(std::string_view filter) {
  const auto bars = std::count(filter.begin(), filter.end(), '|');
  return static_cast<int>((bars + 1) / 2);
}
}  // namespace

ScriptWindow::ScriptWindow()
    : window_(kMainWidth, kMainHeight, kWindowGrey), graph_(kGraphWidth, kGraphHeight, kWhite) {}

void ScriptWindow::Fail(const std::string& what) const {
  error_ = what;
  throw ScriptError(what);
}

void ScriptWindow::RaiseDropped() {
  if (error_) throw ScriptError(*std::exchange(error_, std::nullopt));
  if (ended_) throw ProgramEnded{};
}

const ControlState& ScriptWindow::Checked(Control c, const char* operation,
                                          std::initializer_list<ControlKind> kinds) const {
  const ControlKind kind = Info(c).kind;
  if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) {
    Fail(std::string("the program called ") + operation + " on " + std::string(Name(c)) + ", a " +
         std::string(KindName(kind)));
  }
  return controls_[c];
}

ControlState& ScriptWindow::Checked(Control c, const char* operation,
                                    std::initializer_list<ControlKind> kinds) {
  std::as_const(*this).Checked(c, operation, kinds);
  return controls_[c];
}

void ScriptWindow::Send(Control c, Event e) {
  if (sink_ != nullptr) sink_->OnEvent(c, e);
}

void ScriptWindow::MoveBar(Control bar, int value) {
  ControlState& s = controls_[bar];
  value = SettledValue({s.minimum, s.maximum}, value);
  if (value == s.value) return;
  s.value = value;
  Send(bar, Event::Change);
}

// --- controls

void ScriptWindow::SetCaption(Control label, std::string_view text) {
  Checked(label, "SetCaption", {K::Label, K::Button, K::CheckBox, K::OptionButton, K::Form}).text = text;
}

void ScriptWindow::SetColour(Control control, Rgb colour) {
  Checked(control, "SetColour", {K::Label, K::Rectangle, K::Line}).colour = colour;
}

void ScriptWindow::AppendEntry(Control combo, std::string_view text) {
  Checked(combo, "AppendEntry", {K::ComboBox}).entries.emplace_back(text);
}

void ScriptWindow::SelectEntry(Control combo, int index) {
  ControlState& s = Checked(combo, "SelectEntry", {K::ComboBox});
  if (index < -1 || index >= static_cast<int>(s.entries.size()))
    Fail("the program selected entry " + std::to_string(index) + " of " + std::string(Name(combo)) +
         ", which has " + std::to_string(s.entries.size()) + " entries");
  s.selected = index;
  Send(combo, Event::Click);
}

int ScriptWindow::SelectedIndex(Control combo) const {
  return Checked(combo, "SelectedIndex", {K::ComboBox}).selected;
}

int ScriptWindow::Value(Control scrollBar) const { return Checked(scrollBar, "Value", {K::ScrollBar}).value; }

void ScriptWindow::SetValue(Control scrollBar, int value) {
  Checked(scrollBar, "SetValue", {K::ScrollBar});
  MoveBar(scrollBar, value);
}

void ScriptWindow::SetMaximum(Control scrollBar, int maximum) {
  ControlState& s = Checked(scrollBar, "SetMaximum", {K::ScrollBar});
  const BarRange range = WithMaximum({s.minimum, s.maximum}, maximum);
  s.minimum = range.minimum;
  s.maximum = range.maximum;
  MoveBar(scrollBar, s.value);
}

bool ScriptWindow::Ticked(Control checkBox) const {
  return Checked(checkBox, "Ticked", {K::CheckBox, K::OptionButton}).on;
}

void ScriptWindow::SetOption(Control optionButton, bool selected) {
  Checked(optionButton, "SetOption", {K::OptionButton}).on = selected;
}

std::string ScriptWindow::Text(Control textBox) const {
  Checked(textBox, "Text", {K::TextBox, K::ComboBox});
  return controls_.View(textBox).text;
}

void ScriptWindow::SetText(Control textBox, std::string_view text) {
  Checked(textBox, "SetText", {K::TextBox}).text = text;
}

Bounds ScriptWindow::GetBounds(Control control) const {
  const ControlInfo& i = Info(control);
  return Bounds{i.left, i.top, i.width, i.height};
}

// The modal dialog stays up until its handlers hide it: each round takes the
// next queued answer and presses Done.
void ScriptWindow::ShowDialog(Control form) {
  ControlState& dialog = Checked(form, "ShowDialog", {K::Form});
  dialog.on = true;
  while (dialog.on) {
    if (const std::optional<ContrastAnswer> answer = Take(answers_.contrasts)) {
      controls_[Control::txtbackground].text = answer->background;
      controls_[Control::txtrange].text = answer->range;
    }
    Send(Control::cmddone, Event::Click);
  }
}

void ScriptWindow::HideDialog(Control form) { Checked(form, "HideDialog", {K::Form}).on = false; }

// --- drawing

void ScriptWindow::DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) {
  if (surface != Control::Spectra && surface != Control::Picgraph)
    Fail("the program drew a line on " + std::string(Name(surface)));
  Surface& s = surface == Control::Spectra ? window_ : graph_;
  s.Line(x1.AsDouble(), y1.AsDouble(), x2.AsDouble(), y2.AsDouble(), colour);
}

void ScriptWindow::ClearGraph() { graph_.Clear(); }

// --- modal dialogs

void ScriptWindow::MessageBox(std::string_view) {}

bool ScriptWindow::Ask(std::string_view, Buttons buttons) {
  const QuestionButton answer = Take(answers_.questions);
  if (!Offers(buttons, answer))
    Fail("the question has no button \"" + std::string(ButtonWord(answer)) + "\" (it has " +
         (buttons == Buttons::YesNo ? "yes and no)" : "ok and cancel)"));
  return IsYes(answer);
}

std::optional<std::string> ScriptWindow::InputBox(std::string_view, std::string_view, std::string_view) {
  return Take(answers_.inputs);
}

std::optional<std::string> ScriptWindow::OpenFileDialog(std::string_view, int, int) {
  return Take(answers_.opens);
}

std::optional<FitsImportFields> ScriptWindow::FitsImportDialog(const FitsImportFields&) {
  return Take(answers_.fitsImports);
}

std::optional<SaveAnswer> ScriptWindow::SaveFileDialog(std::string_view filter) {
  std::optional<SaveAnswer> answer = Take(answers_.saves);
  if (answer && (answer->type < 1 || answer->type > TypeCount(filter)))
    Fail("the save-file dialog has no type " + std::to_string(answer->type) + " (it has " +
         std::to_string(TypeCount(filter)) + ")");
  return answer;
}

std::optional<InstrumentFields> ScriptWindow::InstrumentDialog(const InstrumentFields&) {
  return Take(answers_.instruments);
}

std::optional<LampFields> ScriptWindow::LampDialog(const LampFields& current) {
  const std::optional<LampFields> answer = Take(answers_.lamps);
  if (!answer) return std::nullopt;
  const LampAnswer lamp = AnswerLamp(current, *answer);
  if (lamp.problem) Fail(*lamp.problem);
  return lamp.fields;
}

std::optional<AutoStartFields> ScriptWindow::AutoStartDialog(const AutoStartFields&) {
  return Take(answers_.autoStarts);
}

std::optional<ObservationFields> ScriptWindow::ObservationDialog(const ObservationFields&) {
  return Take(answers_.observations);
}

std::optional<std::vector<std::string>> ScriptWindow::OpenFilesDialog(std::string_view) {
  return Take(answers_.openMany);
}

namespace {
// The fields a dialog closes with: those named over those shown; a name or
// choice it does not have ends the session.
template <typename Fields, typename Answer>
std::optional<Fields> Answered(const Fields& shown, const std::optional<FieldWords>& words, Answer answer) {
  if (!words) return std::nullopt;
  const FieldsAnswer<Fields> a = answer(shown, *words);
  if (a.problem) throw ScriptError(*a.problem);
  return a.fields;
}
}  // namespace

std::optional<MastersFields> ScriptWindow::MastersDialog(const MastersFields& current) {
  return Answered(current, Take(answers_.masters), AnswerMasters);
}

std::optional<ExtractionFields> ScriptWindow::ExtractionDialog(const ExtractionFields& current) {
  return Answered(current, Take(answers_.extractions), AnswerExtraction);
}

std::optional<ResponseFields> ScriptWindow::ResponseDialog(const ResponseFields& current) {
  return Answered(current, Take(answers_.responses), AnswerResponse);
}

void ScriptWindow::EditMeasurementTable(const MeasurementTableEdit& edit) {
  if (!measurementsShown_) Fail("the Measurements table is not open");
  if (const auto problem = MeasurementTableEditProblem(edit, static_cast<int>(measurements_.rows.size())))
    Fail(*problem);
  if (edit.kind == MeasurementTableEdit::Kind::Clear && measurements_.rows.empty()) return;
  if (sink_ != nullptr) sink_->OnMeasurementTableEdit(edit);
}

void ScriptWindow::EditLineTable(const LineTableEdit& edit) {
  if (!tableShown_) Fail("the Lines and Residuals dialog is not open");
  if (const auto problem = LineTableEditProblem(edit, static_cast<int>(table_.rows.size()))) Fail(*problem);
  if (edit.kind == LineTableEdit::Kind::Used && table_.rows[static_cast<std::size_t>(edit.row)].used == edit.used)
    return;
  if (sink_ != nullptr) sink_->OnLineTableEdit(edit);
}

void ScriptWindow::ActInView(const ViewAction& action) {
  if (!viewShown_) Fail("the Spectrum view is not open");
  const std::optional<ViewInput> input = InputOfAction(action, viewPicture_, viewControls_);
  if (!input) return;
  viewControls_ = ControlsAfter(viewControls_, *input);
  if (sink_ != nullptr) sink_->OnSpectrumView(*input);
}

Surface ScriptWindow::ViewPicture(int width, int height) {
  if (!viewShown_) Fail("the Spectrum view is not open");
  if (viewSize_.width != width || viewSize_.height != height) {
    viewSize_ = {width, height};
    ViewInput resize;
    resize.kind = ViewInput::Kind::Resize;
    resize.width = width;
    resize.height = height;
    if (sink_ != nullptr) sink_->OnSpectrumView(resize);
  }
  return PaintedView(viewPicture_, width, height);
}

// --- menus and documents

bool ScriptWindow::MenuTicked(MenuItem item) const { return menuTicks_[static_cast<std::size_t>(item)]; }

std::string ScriptWindow::UserGuidePath() const { return FindUserGuide(); }


void ScriptWindow::EndProgram() {
  ended_ = true;
  throw ProgramEnded{};
}

// --- the user's actions

void ScriptWindow::Click(Control control) {
  ControlState& s = controls_[control];
  switch (Info(control).kind) {
    case K::CheckBox:
      s.on = !s.on;
      break;
    case K::OptionButton:
      if (s.on) return;
      for (const ControlInfo& other : AllControls())
        if (other.kind == K::OptionButton && other.form == Info(control).form) controls_[other.id].on = false;
      s.on = true;
      break;
    default:
      break;
  }
  Send(control, Event::Click);
}

void ScriptWindow::Select(Control combo, int index) {
  controls_[combo].selected = index;
  Send(combo, Event::Click);
}

void ScriptWindow::Drag(Control scrollBar, int value) {
  ControlState& s = controls_[scrollBar];
  s.value = SettledValue({s.minimum, s.maximum}, value);
  Send(scrollBar, Event::Scroll);
}

void ScriptWindow::Release(Control scrollBar) { Send(scrollBar, Event::Change); }

void ScriptWindow::Set(Control scrollBar, int value) { MoveBar(scrollBar, value); }

void ScriptWindow::Close() { Send(Control::Spectra, Event::Unload); }

void ScriptWindow::ChooseMenu(MenuItem item) {
  if (Info(item).checkable)
    menuTicks_[static_cast<std::size_t>(item)] = !menuTicks_[static_cast<std::size_t>(item)];
  if (sink_ != nullptr) sink_->OnMenu(item);
}

}  // namespace lxr4
