#include "qt/file_filter.h"

#include <algorithm>
#include <cctype>

namespace lxr4 {

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    const std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string Cased(std::string_view s, int (*convert)(int)) {
  std::string out(s);
  for (char& ch : out) ch = static_cast<char>(convert(static_cast<unsigned char>(ch)));
  return out;
}

void AddOnce(std::vector<std::string>& list, std::string item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
}

std::string Entry(std::string_view description, std::string_view patterns) {
  // The description's "(...)" lists the patterns for the reader; Qt reads the
  // patterns from that parenthesis, so it is replaced by the real ones.
  const std::size_t open = description.rfind('(');
  if (open != std::string_view::npos && description.back() == ')')
    description = Trim(description.substr(0, open));
  std::vector<std::string> globs;
  for (std::string_view p : Split(patterns, ';')) {
    p = Trim(p);
    if (p.empty()) continue;
    if (p == "*.*" || p == "*") {
      AddOnce(globs, "*");
      continue;
    }
    AddOnce(globs, std::string(p));
    AddOnce(globs, Cased(p, [](int c) { return std::tolower(c); }));
    AddOnce(globs, Cased(p, [](int c) { return std::toupper(c); }));
  }
  if (globs.empty()) globs.emplace_back("*");
  std::string entry(description.empty() ? std::string_view("Files") : description);
  entry += " (";
  for (std::size_t i = 0; i < globs.size(); ++i) entry += (i ? " " : "") + globs[i];
  entry += ')';
  return entry;
}

}  // namespace

std::vector<std::string> QtNameFilters(std::string_view filter) {
  std::vector<std::string> entries;
  const std::vector<std::string_view> parts = Split(filter, '|');
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    const std::string_view description = Trim(parts[i]);
    const std::string_view patterns = i + 1 < parts.size() ? parts[i + 1] : std::string_view{};
    if (description.empty() && Trim(patterns).empty()) continue;
    entries.push_back(Entry(description, patterns));
  }
  if (entries.empty()) entries.emplace_back("All Files (*)");
  return entries;
}

std::vector<std::string> FilterSuffixes(std::string_view filter) {
  std::vector<std::string> suffixes;
  const std::vector<std::string_view> parts = Split(filter, '|');
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    const std::string_view patterns = i + 1 < parts.size() ? Trim(parts[i + 1]) : std::string_view{};
    if (Trim(parts[i]).empty() && patterns.empty()) continue;
    const std::string_view first = Trim(Split(patterns, ';').front());
    const std::size_t dot = first.rfind('.');
    const std::string_view suffix =
        dot == std::string_view::npos ? std::string_view{} : first.substr(dot + 1);
    suffixes.emplace_back(suffix == "*" ? std::string_view{} : suffix);
  }
  if (suffixes.empty()) suffixes.emplace_back();
  return suffixes;
}

}  // namespace lxr4
