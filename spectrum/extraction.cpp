// Spectrum extraction: the arithmetic of the object and calibration spectra.
#include "spectrum/extraction.h"

#include <algorithm>
#include <cmath>

namespace lxr4 {

namespace {

constexpr std::int32_t kMedianBound = 65536;

int ClampWidth(int width) { return std::clamp(width, 0, kGridColumns); }

CropRows FitCrop(CropRows crop) {
  const auto top = std::clamp<std::int16_t>(crop.top, 1, kGridRows);
  const auto bottom = std::clamp<std::int16_t>(crop.bottom, top, kGridRows);
  return {top, bottom};
}

}  // namespace

std::int16_t MedianOfFour(std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d) {
  std::array<std::int32_t, 4> values{a, b, c, d};
  std::array<std::int32_t, 4> sorted{};
  // Selection by repeated minimum: the first of equal values is taken, and a
  // taken entry is retired by overwriting it with the bound.
  for (std::int32_t& out : sorted) {
    std::size_t smallest = 0;
    std::int32_t least = kMedianBound;
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i] < least) {
        least = values[i];
        smallest = i;
      }
    }
    out = least;
    values[smallest] = kMedianBound;
  }
  return static_cast<std::int16_t>((sorted[1] + sorted[2]) / 2);
}

std::array<std::int16_t, kGridRows> CleanedColumn(const PixelGrid& pixels, int width, int column,
                                                  bool median) {
  std::array<std::int16_t, kGridRows> v{};
  const bool clean = median && column > 1 && column < ClampWidth(width);
  for (int r = 1; r <= kGridRows; ++r) {
    const std::int16_t p = pixels.at(column, r);
    auto& out = v[static_cast<std::size_t>(r - 1)];
    out = p;
    if (!clean) continue;
    const std::int16_t left = pixels.at(column - 1, r);
    const std::int16_t right = pixels.at(column + 1, r);
    if (r == 1 || r == kGridRows) {
      // An edge row has one vertical neighbour; the pixel itself makes the fourth value.
      const std::int16_t inner = pixels.at(column, r == 1 ? 2 : kGridRows - 1);
      const std::int32_t mean = (left + right + inner) / 3;
      if (p != mean) out = MedianOfFour(left, right, p, inner);
    } else {
      const std::int16_t up = pixels.at(column, r - 1);
      const std::int16_t down = pixels.at(column, r + 1);
      const std::int32_t mean = (left + right + up + down) / 4;
      if (p != mean) out = MedianOfFour(left, right, up, down);
    }
  }
  return v;
}

std::int32_t ColumnValue(std::int32_t inside, std::int32_t outside, int height, bool filter) {
  if (height >= kGridRows) return inside;
  std::int32_t net = inside;
  if (filter) net = inside - (outside * height) / (kGridRows - height);
  const double scaled = static_cast<double>(net * kGridRows) / height;
  // The default rounding mode rounds halves to the even neighbour.
  return static_cast<std::int32_t>(std::nearbyint(scaled));
}

void SmoothSpectrum(Spectrum& spectrum, int width) {
  width = ClampWidth(width);
  std::array<std::int32_t, kGridColumns + 1> smoothed{};
  for (int k = 3; k <= width - 2; ++k) {
    const std::int32_t sum = 2 * spectrum[k - 2] + 5 * spectrum[k - 1] + 10 * spectrum[k] +
                             5 * spectrum[k + 1] + 2 * spectrum[k + 2];
    smoothed[static_cast<std::size_t>(k)] = sum / 24;
  }
  for (int k = 3; k <= width - 2; ++k) spectrum[k] = smoothed[static_cast<std::size_t>(k)];
}

SpectrumExtent FinishSpectrum(Spectrum& spectrum, int width, Spectrum& copy) {
  width = ClampWidth(width);
  SpectrumExtent extent;
  for (int k = 1; k <= width; ++k) {
    std::int32_t& value = spectrum[k];
    if (value < 0) value = 0;
    copy[k] = value;
    if (value > extent.max) extent.max = value;
    if (value < extent.min) extent.min = value;
  }
  extent.length = static_cast<std::int16_t>(width);
  return extent;
}

SpectrumExtent ExtractObject(const PixelGrid& pixels, int width, CropRows crop,
                             ObjectOptions options, Spectrum& current, Spectrum& copy) {
  width = ClampWidth(width);
  crop = FitCrop(crop);
  const int height = crop.bottom - crop.top + 1;
  for (int k = 1; k <= width; ++k) {
    const auto column = CleanedColumn(pixels, width, k, options.median);
    std::int32_t inside = 0;
    std::int32_t outside = 0;
    for (int r = 1; r <= kGridRows; ++r) {
      const std::int16_t value = column[static_cast<std::size_t>(r - 1)];
      if (r >= crop.top && r <= crop.bottom) {
        inside += value;
      } else {
        outside += value;
      }
    }
    current[k] = ColumnValue(inside, outside, height, options.filter);
  }
  if (options.smoothing) SmoothSpectrum(current, width);
  return FinishSpectrum(current, width, copy);
}

SpectrumExtent ExtractCal(const PixelGrid& pixels, int width, CropRows crop, bool smoothing,
                          Spectrum& current, Spectrum& copy) {
  width = ClampWidth(width);
  crop = FitCrop(crop);
  for (int k = 1; k <= width; ++k) {
    std::int32_t sum = 0;
    for (int r = crop.top; r <= crop.bottom; ++r) sum += pixels.at(k, r);
    current[k] = sum;
  }
  if (smoothing) SmoothSpectrum(current, width);
  return FinishSpectrum(current, width, copy);
}

}  // namespace lxr4
