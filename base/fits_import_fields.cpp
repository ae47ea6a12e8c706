#include "base/fits_import_fields.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lxr4 {

namespace {
constexpr std::array<std::string_view, 3> kAxisWords{"auto", "rows", "columns"};
}  // namespace

std::string FitsImportWords(const FitsImportFields& f) {
  return std::string(kAxisWords[static_cast<std::size_t>(f.axis)]) + ' ' +
         (f.fullResolution ? f.windowStart : "-") + ' ' + f.pixelSize + ' ' + (f.frameUnits ? "frame" : "image");
}

std::optional<FitsImportFields> ParseFitsImportWords(std::span<const std::string> words) {
  if (words.size() != 3 && words.size() != 4) return std::nullopt;
  FitsImportFields f;
  std::size_t axis = 0;
  while (axis < kAxisWords.size() && kAxisWords[axis] != words[0]) ++axis;
  if (axis == kAxisWords.size()) return std::nullopt;
  f.axis = static_cast<FitsImportFields::Axis>(axis);
  f.fullResolution = words[1] != "-";
  if (f.fullResolution) f.windowStart = words[1];
  f.pixelSize = words[2];
  if (words.size() == 4) {
    if (words[3] != "frame" && words[3] != "image") return std::nullopt;
    f.frameUnits = words[3] == "frame";
  }
  return f;
}

std::optional<FitsImportFields> ParseFitsImportLine(std::string_view line) {
  std::vector<std::string> words;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) words.emplace_back(line.substr(at, end - at));
    at = end + 1;
  }
  return ParseFitsImportWords(words);
}

}  // namespace lxr4
