// Reading session script lines: words separated by blanks or tabs, a word in
// double quotes holding blanks and the escapes \" \\ \r \n \t; blank lines and
// lines whose first non-blank character is '#' have no words.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lxr4 {

// The words of `line`, quotes removed and escapes resolved. Throws ScriptError
// on an unterminated quote, an unknown escape, or a quote inside a word.
[[nodiscard]] std::vector<std::string> SplitWords(std::string_view line);

// A whole number in decimal ("-12", "+5"), nothing else; nullopt otherwise.
[[nodiscard]] std::optional<long long> ParseWhole(std::string_view word);
// A finite decimal number ("1000", "750.5", "-2e3"); nullopt otherwise.
[[nodiscard]] std::optional<double> ParseReal(std::string_view word);

}  // namespace lxr4
