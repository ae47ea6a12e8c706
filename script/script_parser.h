// Reading session script lines: words separated by blanks or tabs, a word in
// double quotes holding blanks and the escapes \" \\ \r \n \t; blank lines and
// lines whose first non-blank character is '#' have no words.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/view_actions.h"

namespace lxr4 {

// The words of `line`, quotes removed and escapes resolved. Throws ScriptError
// on an unterminated quote, an unknown escape, or a quote inside a word.
[[nodiscard]] std::vector<std::string> SplitWords(std::string_view line);

// A whole number in decimal ("-12", "+5"), nothing else; nullopt otherwise.
[[nodiscard]] std::optional<long long> ParseWhole(std::string_view word);
// A finite decimal number ("1000", "750.5", "-2e3"); nullopt otherwise.
[[nodiscard]] std::optional<double> ParseReal(std::string_view word);

// The user's action of a Spectrum view line (view-range, view-reset,
// view-click, view-units, view-show, view-wheel, view-box, view-key and the
// measuring row's); empty for any other command. Throws ScriptError on a wrong number of words, a bad
// number, or a word the line does not take.
// The measuring row's lines and `measure` give the few steps a user takes
// (`view-box` chooses Zoom to drag in first, `measure` clears the continuum
// marks, marks its two regions when given, chooses Measure and drags).
[[nodiscard]] std::vector<ViewAction> ParseViewLine(const std::vector<std::string>& words);

// `save-view PATH WIDTH HEIGHT`, the size in pixels from kLeastViewSize to
// kMostViewSize each way; throws ScriptError otherwise.
struct ViewSave {
  std::string path;
  int width = 0, height = 0;
};
inline constexpr int kLeastViewSize = 200, kMostViewSize = 4000;
[[nodiscard]] ViewSave ParseSaveView(const std::vector<std::string>& words);

}  // namespace lxr4
