// Parsing of FITS-style sections, locale-independent (std::from_chars).
#include "reduce/section.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>

namespace lxr4 {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::optional<int> Whole(std::string_view s) {
  s = Trim(s);
  int v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// One axis "a:b" or "*" for an axis of `size` pixels; ordered low to high.
std::optional<std::pair<int, int>> Range(std::string_view s, int size) {
  s = Trim(s);
  if (s == "*") return std::pair{1, size};
  const auto colon = s.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto a = Whole(s.substr(0, colon));
  const auto b = Whole(s.substr(colon + 1));
  if (!a || !b) return std::nullopt;
  return std::pair{std::min(*a, *b), std::max(*a, *b)};
}

}  // namespace

SectionResult ParseSection(std::string_view text, int width, int height) {
  const std::string quoted = "\"" + std::string(text) + "\"";
  const std::string_view t = Trim(text);
  const auto comma = t.find(',');
  if (t.size() < 2 || t.front() != '[' || t.back() != ']' || comma == std::string_view::npos)
    return SectionResult::Refused(SectionError::BadText,
                                  "The section " + quoted + " is not of the form [x1:x2,y1:y2].");
  const auto x = Range(t.substr(1, comma - 1), width);
  const auto y = Range(t.substr(comma + 1, t.size() - comma - 2), height);
  if (!x || !y)
    return SectionResult::Refused(SectionError::BadText,
                                  "The section " + quoted + " is not of the form [x1:x2,y1:y2].");
  if (x->first < 1 || x->second > width || y->first < 1 || y->second > height)
    return SectionResult::Refused(SectionError::Outside, "The section " + quoted + " lies outside the frame of " +
                                                             std::to_string(width) + " x " + std::to_string(height) +
                                                             " pixels.");
  SectionResult r;
  r.section = Section{x->first, x->second, y->first, y->second};
  return r;
}

std::string SectionText(const Section& s) {
  return "[" + std::to_string(s.x1) + ":" + std::to_string(s.x2) + "," + std::to_string(s.y1) + ":" +
         std::to_string(s.y2) + "]";
}

}  // namespace lxr4
