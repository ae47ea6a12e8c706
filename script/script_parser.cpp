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

}  // namespace lxr4
