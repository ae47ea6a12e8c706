#include "script/script_runner.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "script/dialog_answers.h"
#include "script/state_query.h"
#include "platform/files.h"
#include "platform/png_writer.h"
#include "script/controls_model.h"
#include "base/quoted_text.h"
#include "script/script_error.h"
#include "script/script_parser.h"

namespace lxr4 {

namespace {

using K = ControlKind;
using Words = std::vector<std::string>;

void ExpectWords(const Words& w, std::size_t count, const char* form) {
  if (w.size() != count) throw ScriptError(std::string("expected: ") + form);
}

Control ControlNamed(const std::string& name) {
  const std::optional<Control> c = FindControl(name);
  if (!c) throw ScriptError("unknown control \"" + name + "\"");
  return *c;
}

// A control of the main window of one of `kinds`: what the user can act on.
Control Target(const std::string& name, std::initializer_list<ControlKind> kinds, const char* role) {
  const Control c = ControlNamed(name);
  const ControlInfo& info = Info(c);
  bool fits = false;
  for (const ControlKind k : kinds) fits = fits || k == info.kind;
  if (!fits) throw ScriptError(name + " is a " + std::string(KindName(info.kind)) + ", not " + role);
  if (info.form != Control::Spectra) throw ScriptError(name + " lies on a dialog that is not open");
  return c;
}

long long Whole(const std::string& word) {
  const std::optional<long long> v = ParseWhole(word);
  if (!v) throw ScriptError("bad number \"" + word + "\"");
  return *v;
}

// A scroll bar position; clamping to the bar's range comes later.
int Position(const std::string& word) {
  const long long v = Whole(word);
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// A row of the Lines and Residuals table, counted from 1 in scripts.
int Row(const std::string& word) {
  const long long v = Whole(word);
  return static_cast<int>(std::clamp<long long>(v, 0, INT_MAX)) - 1;
}

Num PageUnits(const std::string& word) {
  const std::optional<double> v = ParseReal(word);
  if (!v) throw ScriptError("bad number \"" + word + "\"");
  if (std::trunc(*v) == *v && std::abs(*v) <= 2147483647.0) return static_cast<std::int32_t>(*v);
  return *v;
}

std::string ShowLine(Control c, const ControlView& v) {
  std::string line = "show " + std::string(Name(c)) + ' ';
  switch (Info(c).kind) {
    case K::Label:
      return line + Quoted(v.text) + ' ' + ColourText(v.colour);
    case K::Button:
    case K::TextBox:
      return line + Quoted(v.text);
    case K::CheckBox:
      return line + (v.on ? "ticked" : "clear");
    case K::OptionButton:
      return line + (v.on ? "selected" : "clear");
    case K::ScrollBar:
      return line + std::to_string(v.value) + ' ' + std::to_string(v.minimum) + ' ' +
             std::to_string(v.maximum);
    case K::ComboBox:
      return line + std::to_string(v.index) + ' ' + Quoted(v.text);
    case K::Rectangle:
      return line + ColourText(v.colour);
    default:
      throw ScriptError(std::string(Name(c)) + " cannot be shown");
  }
}

void Save(const std::string& path, const Surface& surface, Transcript& t) {
  const std::optional<std::vector<std::uint8_t>> png = PngBytes(surface);
  if (!png || WriteFile(path, *png) != FileError::None) throw ScriptError("cannot write " + Quoted(path));
  t.Line("saved " + Quoted(path));
}

void RunLine(const Words& w, App& app, UserActions& user, Transcript& t) {
  const std::string& command = w[0];
  if (command == "click") {
    ExpectWords(w, 2, "click NAME");
    user.Click(
        Target(w[1], {K::Button, K::CheckBox, K::OptionButton}, "a button, check box or option button"));
  } else if (command == "select") {
    ExpectWords(w, 3, "select NAME INDEX");
    const Control combo = Target(w[1], {K::ComboBox}, "a combo box");
    const long long index = Whole(w[2]);
    const int count = user.View(combo).entryCount;
    if (index < 0 || index >= count)
      throw ScriptError(w[1] + " has no entry " + w[2] + " (it has " + std::to_string(count) + ")");
    user.Select(combo, static_cast<int>(index));
  } else if (command == "drag" || command == "set") {
    ExpectWords(w, 3, (command + " NAME VALUE").c_str());
    const Control bar = Target(w[1], {K::ScrollBar}, "a scroll bar");
    const int value = Position(w[2]);
    command == "drag" ? user.Drag(bar, value) : user.Set(bar, value);
  } else if (command == "release") {
    ExpectWords(w, 2, "release NAME");
    user.Release(Target(w[1], {K::ScrollBar}, "a scroll bar"));
  } else if (command == "close") {
    ExpectWords(w, 1, "close");
    user.Close();
  } else if (command == "open") {
    ExpectWords(w, 2, "open PATH");
    user.Answers().opens.Push(w[1]);
  } else if (command == "open-cancel") {
    ExpectWords(w, 1, "open-cancel");
    user.Answers().opens.Push(std::nullopt);
  } else if (command == "input") {
    ExpectWords(w, 2, "input TEXT");
    user.Answers().inputs.Push(w[1]);
  } else if (command == "input-cancel") {
    ExpectWords(w, 1, "input-cancel");
    user.Answers().inputs.Push(std::nullopt);
  } else if (command == "contrast") {
    ExpectWords(w, 3, "contrast BACKGROUND RANGE");
    user.Answers().contrasts.Push(ContrastAnswer{w[1], w[2]});
  } else if (command == "contrast-done") {
    ExpectWords(w, 1, "contrast-done");
    user.Answers().contrasts.Push(std::nullopt);
  } else if (command == "save") {
    if (w.size() != 2 && w.size() != 3) throw ScriptError("expected: save PATH [TYPE]");
    const long long type = w.size() == 3 ? Whole(w[2]) : 1;
    if (type < 1 || type > INT_MAX) throw ScriptError("bad file type \"" + w[2] + "\"");
    user.Answers().saves.Push(SaveAnswer{w[1], static_cast<int>(type)});
  } else if (command == "save-cancel") {
    ExpectWords(w, 1, "save-cancel");
    user.Answers().saves.Push(std::nullopt);
  } else if (command == "fits-import") {
    const std::optional<FitsImportFields> fields =
        ParseFitsImportWords(std::span<const std::string>(w).subspan(1));
    if (!fields) throw ScriptError("expected: fits-import auto|rows|columns WINDOWSTART|- PIXELSIZE [frame|image]");
    user.Answers().fitsImports.Push(*fields);
  } else if (command == "fits-import-cancel") {
    ExpectWords(w, 1, "fits-import-cancel");
    user.Answers().fitsImports.Push(std::nullopt);
  } else if (command == "instrument") {
    ExpectWords(w, 6, "instrument DENSITY DEVIATION REFCOL on|off PIXELSIZE|-");
    if (w[4] != "on" && w[4] != "off") throw ScriptError("expected on or off, not \"" + w[4] + "\"");
    user.Answers().instruments.Push(InstrumentFields{w[1], w[2], w[3], w[4] == "on", w[5] == "-" ? "" : w[5]});
  } else if (command == "instrument-cancel") {
    ExpectWords(w, 1, "instrument-cancel");
    user.Answers().instruments.Push(std::nullopt);
  } else if (command == "lamp") {
    LampFields answer;
    for (std::size_t i = 1; i < w.size(); ++i) {
      if (w[i] == "air" || w[i] == "vacuum")
        answer.vacuum = w[i] == "vacuum";
      else
        answer.chosen.push_back(w[i]);
    }
    user.Answers().lamps.Push(answer);
  } else if (command == "lamp-cancel") {
    ExpectWords(w, 1, "lamp-cancel");
    user.Answers().lamps.Push(std::nullopt);
  } else if (command == "autocal") {
    if (w.size() != 3 && w.size() != 4) throw ScriptError("expected: autocal CENTRE DISPERSION [TOLERANCE]");
    user.Answers().autoStarts.Push(AutoStartFields{w[1], w[2], w.size() == 4 ? w[3] : "20"});
  } else if (command == "autocal-cancel") {
    ExpectWords(w, 1, "autocal-cancel");
    user.Answers().autoStarts.Push(std::nullopt);
  } else if (command == "line-used") {
    ExpectWords(w, 3, "line-used ROW on|off");
    if (w[2] != "on" && w[2] != "off") throw ScriptError("expected on or off, not \"" + w[2] + "\"");
    user.EditLineTable({LineTableEdit::Kind::Used, Row(w[1]), w[2] == "on", {}});
  } else if (command == "line-remove") {
    if (w.size() < 2) throw ScriptError("expected: line-remove ROW [ROW ...]");
    LineTableEdit edit{LineTableEdit::Kind::Remove, 0, true, {}};
    for (std::size_t i = 1; i < w.size(); ++i) edit.rows.push_back(Row(w[i]));
    user.EditLineTable(edit);
  } else if (command == "observation") {
    ExpectWords(w, 8, "observation DATE EXPOSURE RA DEC LATITUDE LONGITUDE HEIGHT");
    user.Answers().observations.Push(ObservationFields{w[1], w[2], w[3], w[4], w[5], w[6], w[7]});
  } else if (command == "open-files") {
    if (w.size() < 2) throw ScriptError("expected: open-files PATH [PATH ...]");
    user.Answers().openMany.Push(Words(w.begin() + 1, w.end()));
  } else if (command == "open-files-cancel") {
    ExpectWords(w, 1, "open-files-cancel");
    user.Answers().openMany.Push(std::nullopt);
  } else if (command == "masters") {
    user.Answers().masters.Push(ParseFieldWords(w));
  } else if (command == "masters-cancel") {
    ExpectWords(w, 1, "masters-cancel");
    user.Answers().masters.Push(std::nullopt);
  } else if (command == "extraction") {
    user.Answers().extractions.Push(ParseFieldWords(w));
  } else if (command == "extraction-cancel") {
    ExpectWords(w, 1, "extraction-cancel");
    user.Answers().extractions.Push(std::nullopt);
  } else if (command == "response") {
    user.Answers().responses.Push(ParseFieldWords(w));
  } else if (command == "response-cancel") {
    ExpectWords(w, 1, "response-cancel");
    user.Answers().responses.Push(std::nullopt);
  } else if (command == "observation-cancel") {
    ExpectWords(w, 1, "observation-cancel");
    user.Answers().observations.Push(std::nullopt);
  } else if (command == "measure-remove") {
    if (w.size() < 2) throw ScriptError("expected: measure-remove ROW [ROW ...]");
    MeasurementTableEdit edit{MeasurementTableEdit::Kind::Remove, {}};
    for (std::size_t i = 1; i < w.size(); ++i) edit.rows.push_back(Row(w[i]));
    user.EditMeasurementTable(edit);
  } else if (command == "measure-clear") {
    ExpectWords(w, 1, "measure-clear");
    user.EditMeasurementTable({MeasurementTableEdit::Kind::Clear, {}});
  } else if (command == "line-clear") {
    ExpectWords(w, 1, "line-clear");
    user.EditLineTable({LineTableEdit::Kind::Clear, 0, true, {}});
  } else if (command == "answer") {
    ExpectWords(w, 2, "answer yes|no|ok|cancel");
    const std::optional<QuestionButton> button = FindButton(w[1]);
    if (!button) throw ScriptError("expected yes, no, ok or cancel, not \"" + w[1] + "\"");
    user.Answers().questions.Push(*button);
  } else if (command == "menu") {
    ExpectWords(w, 2, "menu NAME");
    const std::optional<MenuItem> item = FindMenuItem(w[1]);
    if (!item) throw ScriptError("unknown menu item \"" + w[1] + "\"");
    if (Info(*item).recentFiles) throw ScriptError(w[1] + " is a submenu, not a menu item");
    t.Line("menu " + w[1]);
    user.ChooseMenu(*item);
  } else if (command == "printer") {
    if (w.size() == 2 && w[1] == "none") {
      user.SetPrinter(std::nullopt);
    } else {
      if (w.size() != 4 || w[1] != "page") throw ScriptError("expected: printer none, or printer page W H");
      user.SetPrinter(PageSize{PageUnits(w[2]), PageUnits(w[3])});
    }
  } else if (command == "show") {
    ExpectWords(w, 2, "show NAME");
    const Control c = ControlNamed(w[1]);
    t.Line(ShowLine(c, user.View(c)));
  } else if (command == "state") {
    if (w.size() < 2) throw ScriptError("expected: state FIELD [NUMBERS]");
    std::vector<long long> numbers;
    for (std::size_t i = 2; i < w.size(); ++i) numbers.push_back(Whole(w[i]));
    const StateAnswer answer = AskState(app.s, w[1], numbers);
    if (!answer.error.empty()) throw ScriptError(answer.error);
    t.Line(answer.line);
  } else if (command == "save-window") {
    ExpectWords(w, 2, "save-window PATH");
    Save(w[1], user.WindowSurface(), t);
  } else if (command == "save-graph") {
    ExpectWords(w, 2, "save-graph PATH");
    Save(w[1], user.GraphSurface(), t);
  } else if (command == "save-view") {
    const ViewSave save = ParseSaveView(w);
    Save(save.path, user.ViewPicture(save.width, save.height), t);
  } else if (const std::vector<ViewAction> steps = ParseViewLine(w); !steps.empty()) {
    for (const ViewAction& step : steps) user.ActInView(step);
  } else {
    throw ScriptError("unknown command \"" + command + "\"");
  }
  user.RaiseDropped();
}

}  // namespace

int RunScript(std::istream& script, App& app, UserActions& user, Transcript& transcript,
              std::ostream& errors) {
  long long lineNumber = 0;
  const auto fail = [&](int status, const std::string& what) {
    transcript.Finish();
    errors << "lxr4-script: line " << lineNumber << ": " << what << '\n';
    return status;
  };
  try {
    app.OnEvent(Control::Spectra, Event::Load);
    user.RaiseDropped();
    std::string line;
    while (std::getline(script, line)) {
      ++lineNumber;
      if (!line.empty() && line.back() == '\r') line.pop_back();  // a script saved with CR LF ends
      const Words words = SplitWords(line);
      if (!words.empty()) RunLine(words, app, user, transcript);
    }
  } catch (const ProgramEnded&) {
  } catch (const ScriptError& e) {
    return fail(kScriptFailed, e.what());
  } catch (const std::exception& e) {
    return fail(kProgramFailed, std::string("the program failed: ") + e.what());
  }
  transcript.Finish();
  return kScriptOk;
}

}  // namespace lxr4
