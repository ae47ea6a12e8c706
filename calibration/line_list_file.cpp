#include "calibration/line_list_file.h"

#include <algorithm>
#include <optional>

#include "base/number_text.h"
#include "calibration/line_list.h"
#include "calibration/line_set.h"

namespace lxr4 {

namespace {
constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::size_t kShownText = 40;  // characters of a bad line quoted in its problem

std::string_view Trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}
}  // namespace

std::string PlainLabel(std::string_view text) {
  std::string label(Trim(text));
  for (char& ch : label)
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) ch = ' ';
  return label;
}

std::vector<ListLine> BuiltInLineList() {
  std::vector<ListLine> lines;
  for (const LineEntry& e : kSpectralLines) {
    const std::size_t open = e.text.find('('), close = e.text.rfind(')');
    std::string label;
    if (open != std::string_view::npos && close != std::string_view::npos && close > open)
      label = e.text.substr(open + 1, close - open - 1);
    lines.push_back({e.wavelength, label});
  }
  return lines;
}

LineListResult ParseLineList(std::string_view text) {
  LineListResult r;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // a byte-order mark from some editors
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    const std::string_view shown = Trim(line).substr(0, kShownText);
    line = Trim(line.substr(0, line.find('#')));
    if (line.empty()) continue;
    const std::size_t split = line.find_first_of(" \t,;");
    const std::string_view field = line.substr(0, split);
    // "5460,735" is a decimal comma, not a wavelength and a label: refused.
    const bool decimalComma = split != std::string_view::npos && line[split] == ',' &&
                              split + 1 < line.size() && line[split + 1] >= '0' && line[split + 1] <= '9';
    const std::optional<double> wavelength = ParseDecimal(field);
    const std::string where = "Line " + std::to_string(number) + ": ";
    if (!wavelength || !(*wavelength >= kMinLineWavelength && *wavelength <= kMaxLineWavelength) ||
        decimalComma) {
      r.problems.push_back(where + "not a wavelength in Angstroms: " + std::string(shown));
      continue;
    }
    // A wavelength named twice would match every peak twice, and so none.
    const auto same = [&](const ListLine& l) { return l.wavelength == *wavelength; };
    if (std::find_if(r.lines.begin(), r.lines.end(), same) != r.lines.end()) {
      r.problems.push_back(where + "listed already: " + std::string(shown));
      continue;
    }
    std::string_view label = split == std::string_view::npos ? std::string_view{} : line.substr(split);
    label = Trim(label);
    if (!label.empty() && (label.front() == ',' || label.front() == ';')) label = Trim(label.substr(1));
    r.lines.push_back({*wavelength, PlainLabel(label)});
  }
  if (r.lines.empty()) {
    r.error = LineListError::NoLines;
    r.message = "No wavelengths found in this line list - the list in use is kept!";
  }
  return r;
}

}  // namespace lxr4
