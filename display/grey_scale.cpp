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

std::int64_t BandOffset(std::int64_t background, bool objectSlot, bool filterTicked) {
  return objectSlot && filterTicked ? 0 : 20 * background;
}

}  // namespace lxr4
