// The built-in lamp lists and their merging.
#include "calibration/lamps.h"

#include <algorithm>

#include "calibration/air_vacuum.h"
#include "calibration/line_list_file.h"

namespace lxr4 {

std::vector<ListLine> LampLines(std::string_view gas) {
  const std::string_view text = LampListText(gas);
  if (text.empty()) return {};
  return ParseLineList(text).lines;
}

std::vector<ListLine> MergeLampLines(const std::vector<std::vector<ListLine>>& lists, bool vacuum) {
  std::vector<ListLine> merged;
  for (const std::vector<ListLine>& list : lists) merged.insert(merged.end(), list.begin(), list.end());
  // Stable, so that of a wavelength named twice the first list's line comes first and stays.
  std::stable_sort(merged.begin(), merged.end(),
                   [](const ListLine& a, const ListLine& b) { return a.wavelength < b.wavelength; });
  merged.erase(std::unique(merged.begin(), merged.end(),
                           [](const ListLine& a, const ListLine& b) { return a.wavelength == b.wavelength; }),
               merged.end());
  if (vacuum)
    for (ListLine& line : merged) line.wavelength = AirToVacuum(line.wavelength);
  return merged;
}

}  // namespace lxr4
