// The frame the reduction works on: width x height floats row by row, the
// dispersion along the rows (x), with its noise. Pixel coordinates count from
// 0 and a pixel's centre sits on its whole number (pixel (x, y) covers
// x-0.5..x+0.5), so FITS pixel (x + 1, y + 1). A frame dispersed along its
// columns is transposed by the caller.
#pragma once

#include <cstddef>
#include <span>

namespace lxr4 {

struct FrameView {
  int width = 0;
  int height = 0;
  std::span<const float> values;    // width * height, row y at y * width
  std::span<const float> variance;  // the same size, or empty: from gain and read noise
  double gain = 1.0;                // electrons per unit of the frame
  double readNoise = 0.0;           // electrons

  [[nodiscard]] float at(int x, int y) const {
    return values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// True when the sizes agree, the frame is not empty, gain > 0, readNoise >= 0
// and every value (and variance, >= 0) is finite.
[[nodiscard]] bool FrameIsUsable(const FrameView& frame);

// The variance of a pixel of value `value` in the frame's units squared from the
// noise model: max(value, 0) / gain + readNoise^2 / gain^2.
[[nodiscard]] double ModelVariance(const FrameView& frame, double value);

// Pixel (x, y)'s variance: the given one, else the model's of its value.
[[nodiscard]] double PixelVariance(const FrameView& frame, int x, int y);

}  // namespace lxr4
