#include "script/script_parser.h"

#include <charconv>
#include <cmath>

#include "script/script_error.h"

namespace lxr4 {

namespace {
bool Blank(char c) { return c == ' ' || c == '\t'; }

char Unescape(char c) {
  switch (c) {
    case '"':
      return '"';
    case '\\':
      return '\\';
    case 'r':
      return '\r';
    case 'n':
      return '\n';
    case 't':
      return '\t';
    default:
      throw ScriptError(std::string("unknown escape \\") + c);
  }
}
}  // namespace

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size() && Blank(line[i])) ++i;
  if (i < line.size() && line[i] == '#') return words;
  while (i < line.size()) {
    std::string word;
    if (line[i] == '"') {
      ++i;
      for (;;) {
        if (i >= line.size()) throw ScriptError("unterminated quoted text");
        const char c = line[i++];
        if (c == '"') break;
        if (c == '\\') {
          if (i >= line.size()) throw ScriptError("unterminated quoted text");
          word += Unescape(line[i++]);
        } else {
          word += c;
        }
      }
      if (i < line.size() && !Blank(line[i])) throw ScriptError("no blank after a quoted text");
    } else {
      while (i < line.size() && !Blank(line[i])) {
        if (line[i] == '"') throw ScriptError("a double quote inside a word");
        word += line[i++];
      }
    }
    words.push_back(std::move(word));
    while (i < line.size() && Blank(line[i])) ++i;
  }
  return words;
}

std::optional<long long> ParseWhole(std::string_view word) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty() || word.front() == '+') return std::nullopt;
  long long value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(std::string_view word) {
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty() || word.front() == '+') return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (ec != std::errc{} || end != word.data() + word.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

namespace {
using Words = std::vector<std::string>;

void Expect(const Words& w, std::size_t count, const char* form) {
  if (w.size() != count) throw ScriptError(std::string("expected: ") + form);
}

double Value(const std::string& word) {
  const std::optional<double> v = ParseReal(word);
  if (!v) throw ScriptError("bad number \"" + word + "\"");
  return *v;
}

// A whole number from `least` to `most`; `what` names it in the fault.
int Bounded(const std::string& word, long long least, long long most, const char* what) {
  const std::optional<long long> v = ParseWhole(word);
  if (!v) throw ScriptError("bad number \"" + word + "\"");
  if (*v < least || *v > most)
    throw ScriptError(std::string(what) + " " + word + " is not from " + std::to_string(least) + " to " +
                      std::to_string(most));
  return static_cast<int>(*v);
}

bool OnOff(const std::string& word) {
  if (word != "on" && word != "off") throw ScriptError("expected on or off, not \"" + word + "\"");
  return word == "on";
}

// The wheel turns at most this many notches at once, either way.
constexpr int kMostWheelSteps = 100;
}  // namespace

namespace {
ViewAction Chosen(DragMode mode) {
  ViewAction a;
  a.kind = ViewAction::Kind::Drag;
  a.drag = mode;
  return a;
}
ViewAction Dragged(double from, double to) {
  ViewAction a;
  a.kind = ViewAction::Kind::Box;
  a.value = from;
  a.value2 = to;
  return a;
}
ViewAction Pressed(ViewAction::Kind kind) {
  ViewAction a;
  a.kind = kind;
  return a;
}

// The measuring row's lines, and `measure`: each a few of the user's steps.
std::vector<ViewAction> ParseMeasureLine(const Words& w) {
  using K = ViewAction::Kind;
  const std::string& command = w.at(0);
  ViewAction a;
  if (command == "measure") {
    if (w.size() != 3 && w.size() != 7) throw ScriptError("expected: measure XMIN XMAX [C1MIN C1MAX C2MIN C2MAX]");
    std::vector<ViewAction> steps{Pressed(K::ClearContinuum)};
    if (w.size() == 7)
      steps.insert(steps.end(), {Chosen(DragMode::Continuum), Dragged(Value(w[3]), Value(w[4])),
                                 Dragged(Value(w[5]), Value(w[6]))});
    steps.insert(steps.end(), {Chosen(DragMode::Measure), Dragged(Value(w[1]), Value(w[2]))});
    return steps;
  }
  if (command == "view-continuum") {
    Expect(w, 3, "view-continuum X1 X2");
    return {Chosen(DragMode::Continuum), Dragged(Value(w[1]), Value(w[2]))};
  }
  if (command == "view-continuum-clear") {
    Expect(w, 1, "view-continuum-clear");
    return {Pressed(K::ClearContinuum)};
  }
  if (command == "view-shift-rest") {
    Expect(w, 1, "view-shift-rest");
    return {Pressed(K::ShiftToRest)};
  }
  if (command == "view-drag") {
    Expect(w, 2, "view-drag zoom|measure|continuum");
    const std::optional<DragMode> mode = FindDragMode(w[1]);
    if (!mode) throw ScriptError("expected zoom, measure or continuum, not \"" + w[1] + "\"");
    return {Chosen(*mode)};
  }
  if (command == "view-profile") {
    Expect(w, 2, "view-profile gaussian|lorentzian|voigt");
    const std::optional<MeasureProfile> profile = FindProfile(w[1]);
    if (!profile) throw ScriptError("expected gaussian, lorentzian or voigt, not \"" + w[1] + "\"");
    a.kind = K::Profile;
    a.profile = *profile;
  } else if (command == "view-medium") {
    Expect(w, 2, "view-medium air|vacuum");
    if (w[1] != "air" && w[1] != "vacuum") throw ScriptError("expected air or vacuum, not \"" + w[1] + "\"");
    a.kind = K::Medium;
    a.vacuum = w[1] == "vacuum";
  } else if (command == "view-normalise") {
    Expect(w, 2, "view-normalise on|off");
    a.kind = K::Normalise;
    a.on = OnOff(w[1]);
  } else if (command == "view-rest" || command == "view-shift") {
    Expect(w, 2, command == "view-rest" ? "view-rest TEXT" : "view-shift TEXT");
    a.kind = command == "view-rest" ? K::Rest : K::Shift;
    a.text = w[1];
  } else {
    return {};
  }
  return {a};
}
}  // namespace

std::vector<ViewAction> ParseViewLine(const Words& w) {
  using K = ViewAction::Kind;
  const std::string& command = w.at(0);
  if (std::vector<ViewAction> steps = ParseMeasureLine(w); !steps.empty()) return steps;
  ViewAction a;
  if (command == "view-range") {
    Expect(w, 3, "view-range FROM TO");
    a.kind = K::Range;
    a.fromText = w[1];
    a.toText = w[2];
  } else if (command == "view-reset") {
    Expect(w, 1, "view-reset");
    a.kind = K::Reset;
  } else if (command == "view-click") {
    Expect(w, 2, "view-click X");
    a.kind = K::Click;
    a.value = Value(w[1]);
  } else if (command == "view-units") {
    Expect(w, 2, "view-units angstrom|nm|pixel");
    const std::optional<ViewUnits> units = FindViewUnits(w[1]);
    if (!units) throw ScriptError("expected angstrom, nm or pixel, not \"" + w[1] + "\"");
    a.kind = K::Units;
    a.units = *units;
  } else if (command == "view-show") {
    Expect(w, 3, "view-show object|lamp|scale on|off");
    const std::optional<ViewCheck> check = FindViewCheck(w[1]);
    if (!check) throw ScriptError("expected object, lamp or scale, not \"" + w[1] + "\"");
    a.kind = K::Show;
    a.check = *check;
    a.on = OnOff(w[2]);
  } else if (command == "view-wheel") {
    Expect(w, 3, "view-wheel X STEPS");
    a.kind = K::Wheel;
    a.value = Value(w[1]);
    a.steps = Bounded(w[2], -kMostWheelSteps, kMostWheelSteps, "wheel steps");
    if (a.steps == 0) throw ScriptError("wheel steps must not be 0");
  } else if (command == "view-box") {
    Expect(w, 3, "view-box X1 X2");
    return {Chosen(DragMode::Zoom), Dragged(Value(w[1]), Value(w[2]))};
  } else if (command == "view-key") {
    Expect(w, 2, "view-key left|right|in|out|home");
    const std::optional<ViewKey> key = FindViewKey(w[1]);
    if (!key) throw ScriptError("expected left, right, in, out or home, not \"" + w[1] + "\"");
    a.kind = K::Key;
    a.key = *key;
  } else {
    return {};
  }
  return {a};
}

ViewSave ParseSaveView(const Words& w) {
  Expect(w, 4, "save-view PATH WIDTH HEIGHT");
  return {w[1], Bounded(w[2], kLeastViewSize, kMostViewSize, "width"),
          Bounded(w[3], kLeastViewSize, kMostViewSize, "height")};
}

}  // namespace lxr4
