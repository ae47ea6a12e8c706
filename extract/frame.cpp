// The frame's checks and its noise model.
#include "extract/frame.h"

#include <algorithm>
#include <cmath>

namespace lxr4 {

bool FrameIsUsable(const FrameView& frame) {
  if (frame.width <= 0 || frame.height <= 0) return false;
  const auto size = static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
  if (frame.values.size() != size || (!frame.variance.empty() && frame.variance.size() != size)) return false;
  if (!(frame.gain > 0.0) || !std::isfinite(frame.gain) || !(frame.readNoise >= 0.0) ||
      !std::isfinite(frame.readNoise)) {
    return false;
  }
  if (!std::all_of(frame.values.begin(), frame.values.end(), [](float v) { return std::isfinite(v); }))
    return false;
  return std::all_of(frame.variance.begin(), frame.variance.end(),
                     [](float v) { return std::isfinite(v) && v >= 0; });
}

double ModelVariance(const FrameView& frame, double value) {
  const double rn = frame.readNoise / frame.gain;
  return std::max(value, 0.0) / frame.gain + rn * rn;
}

double PixelVariance(const FrameView& frame, int x, int y) {
  const auto i =
      static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width) + static_cast<std::size_t>(x);
  if (!frame.variance.empty()) return frame.variance[i];
  return ModelVariance(frame, frame.values[i]);
}

}  // namespace lxr4
