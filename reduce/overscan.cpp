#include "reduce/overscan.h"

#include <algorithm>

#include "reduce/combine.h"

namespace lxr4 {

bool OverscanFits(const Frame& frame, const Overscan& overscan) {
  if (!overscan.region) return true;
  const Section& s = *overscan.region;
  return s.x1 >= 1 && s.x1 <= s.x2 && s.x2 <= frame.width && s.y1 >= 1 && s.y1 <= s.y2 && s.y2 <= frame.height;
}

std::vector<float> OverscanLevels(const Frame& frame, const Overscan& overscan) {
  if (!overscan.region || !OverscanFits(frame, overscan)) return {};
  const Section& s = *overscan.region;
  std::vector<double> values;
  if (!overscan.perRow) {
    values.reserve(static_cast<std::size_t>(s.width()) * static_cast<std::size_t>(s.height()));
    for (int y = s.y1 - 1; y < s.y2; ++y)
      for (int x = s.x1 - 1; x < s.x2; ++x) values.push_back(static_cast<double>(frame.at(x, y)));
    return {static_cast<float>(MedianOf(values))};
  }
  std::vector<float> levels(static_cast<std::size_t>(frame.height));
  for (int y = s.y1 - 1; y < s.y2; ++y) {
    values.clear();
    for (int x = s.x1 - 1; x < s.x2; ++x) values.push_back(static_cast<double>(frame.at(x, y)));
    levels[static_cast<std::size_t>(y)] = static_cast<float>(MedianOf(values));
  }
  const auto top = static_cast<std::size_t>(s.y1 - 1);
  const auto bottom = static_cast<std::size_t>(s.y2 - 1);
  std::fill(levels.begin(), levels.begin() + static_cast<std::ptrdiff_t>(top), levels[top]);
  std::fill(levels.begin() + static_cast<std::ptrdiff_t>(bottom) + 1, levels.end(), levels[bottom]);
  return levels;
}

}  // namespace lxr4
