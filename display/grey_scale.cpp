#include "display/grey_scale.h"

#include <algorithm>

namespace lxr4 {

GreyScale MakeGreyScale(std::int64_t range, DrawMode mode) {
  if (range == 0) range = 1;
  GreyScale scale;
  scale.divisor = (mode == DrawMode::Band ? 20 * range : range) / 255;
  if (scale.divisor < 1) {
    scale.divisor = 1;
    scale.multiplier = std::max<std::int64_t>(256 / range, 1);
  }
  return scale;
}

int GreyLevel(std::int64_t value, std::int64_t offset, GreyScale scale) {
  const std::int64_t g = scale.multiplier * (value - offset) / scale.divisor;
  return static_cast<int>(std::clamp<std::int64_t>(g, 0, 255));
}

std::int64_t BandOffset(std::int64_t background, bool objectSlot, bool filterTicked) {
  return objectSlot && filterTicked ? 0 : 20 * background;
}

}  // namespace lxr4
