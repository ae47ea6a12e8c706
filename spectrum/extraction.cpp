// Spectrum extraction: the arithmetic of the object and calibration spectra.
#include "spectrum/extraction.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lxr4 {

namespace {

int ClampWidth(int width) { return std::clamp(width, 0, kGridColumns); }

CropRows FitCrop(CropRows crop) {
  const auto top = std::clamp<std::int16_t>(crop.top, 1, kGridRows);
  const auto bottom = std::clamp<std::int16_t>(crop.bottom, top, kGridRows);
  return {top, bottom};
}

}  // namespace

std::int16_t MedianOfFour(std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d) {
  // The second and third of the four in ascending order are the four less the
  // smallest and the largest.
  const std::int32_t least = std::min(std::min(a, b), std::min(c, d));
  const std::int32_t most = std::max(std::max(a, b), std::max(c, d));
  return static_cast<std::int16_t>((a + b + c + d - least - most) / 2);
}

namespace {

// The cleaned value of a pixel of row 1 or 20: its mean and median take its
// left, right and one inner neighbour, and the median the pixel itself too ...
inline std::int32_t CleanEdge(std::int32_t p, std::int32_t left, std::int32_t right, std::int32_t inner) {
  const std::int32_t mean = (left + right + inner) / 3;
  if (p == mean) return p;
  return MedianOfFour(static_cast<std::int16_t>(left), static_cast<std::int16_t>(right),
                      static_cast<std::int16_t>(p), static_cast<std::int16_t>(inner));
}

// ... and of a pixel of rows 2..19 with its four neighbours.
inline std::int32_t CleanInner(std::int32_t p, std::int32_t left, std::int32_t right, std::int32_t up,
                               std::int32_t down) {
  const std::int32_t mean = (left + right + up + down) / 4;
  if (p == mean) return p;
  return MedianOfFour(static_cast<std::int16_t>(left), static_cast<std::int16_t>(right),
                      static_cast<std::int16_t>(up), static_cast<std::int16_t>(down));
}

// Row `row` (1..20) of the grid: element k - 1 is column k.
const std::int16_t* RowOf(const PixelGrid& pixels, int row) {
  return pixels.cells.data() + static_cast<std::size_t>((row - 1) * kGridColumns);
}

}  // namespace

void CleanRow(const PixelGrid& pixels, int width, int row, bool median,
              std::span<std::int16_t, kGridColumns> cleaned) {
  width = ClampWidth(width);
  const std::int16_t* cur = RowOf(pixels, row);
  std::copy(cur, cur + width, cleaned.begin());
  if (!median) return;
  // Only the inner columns 2..width-1 are cleaned; element i is column i + 1.
  if (row == 1 || row == kGridRows) {
    const std::int16_t* inner = RowOf(pixels, row == 1 ? 2 : kGridRows - 1);
    for (int k = 2; k < width; ++k) {
      const auto i = static_cast<std::size_t>(k - 1);
      cleaned[i] = static_cast<std::int16_t>(CleanEdge(cur[i], cur[i - 1], cur[i + 1], inner[i]));
    }
    return;
  }
  const std::int16_t* up = RowOf(pixels, row - 1);
  const std::int16_t* down = RowOf(pixels, row + 1);
  for (int k = 2; k < width; ++k) {
    const auto i = static_cast<std::size_t>(k - 1);
    cleaned[i] = static_cast<std::int16_t>(CleanInner(cur[i], cur[i - 1], cur[i + 1], up[i], down[i]));
  }
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

SpectrumExtent ExtractObject(const PixelGrid& pixels, int width, CropRows crop, ObjectOptions options,
                             Spectrum& current, Spectrum& copy) {
  width = ClampWidth(width);
  crop = FitCrop(crop);
  // Row by row, in the order the grid is stored.
  std::array<std::int32_t, kGridColumns + 1> inside{};
  std::array<std::int32_t, kGridColumns + 1> outside{};
  std::array<std::int16_t, kGridColumns> cleaned{};
  for (int r = 1; r <= kGridRows; ++r) {
    auto& sums = (r >= crop.top && r <= crop.bottom) ? inside : outside;
    CleanRow(pixels, width, r, options.median, cleaned);
    for (int k = 1; k <= width; ++k)
      sums[static_cast<std::size_t>(k)] += cleaned[static_cast<std::size_t>(k - 1)];
  }
  const int height = crop.bottom - crop.top + 1;
  for (int k = 1; k <= width; ++k) {
    const auto at = static_cast<std::size_t>(k);
    current[k] = ColumnValue(inside[at], outside[at], height, options.filter);
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

std::vector<double> ExtractNative(std::span<const float> swath, int rows, int length, CropRows crop,
                                  NativeOptions options) {
  if (rows < 1 || length < 1 || swath.size() < static_cast<std::size_t>(rows) * static_cast<std::size_t>(length))
    return {};
  const int top = std::clamp<int>(crop.top, 1, rows);
  const int bottom = std::clamp<int>(crop.bottom, top, rows);
  const auto n = static_cast<std::size_t>(length);
  std::vector<double> inside(n, 0.0), outside(n, 0.0);
  for (int r = 1; r <= rows; ++r) {
    std::vector<double>& sums = (r >= top && r <= bottom) ? inside : outside;
    const float* row = swath.data() + static_cast<std::size_t>(r - 1) * n;
    for (std::size_t k = 0; k < n; ++k) sums[k] += row[k];
  }
  const int height = bottom - top + 1;
  if (options.object && height < rows) {
    for (std::size_t k = 0; k < n; ++k) {
      const double net = options.filter ? inside[k] - outside[k] * height / (rows - height) : inside[k];
      inside[k] = net * rows / height;
    }
  }
  if (options.smoothing && length >= 5) {
    std::vector<double> smoothed = inside;
    for (std::size_t k = 2; k + 2 < n; ++k)
      smoothed[k] = (2 * inside[k - 2] + 5 * inside[k - 1] + 10 * inside[k] + 5 * inside[k + 1] + 2 * inside[k + 2]) / 24;
    inside = std::move(smoothed);
  }
  return inside;
}

std::vector<double> NativeOfColumns(const Spectrum& spectrum, int width) {
  width = ClampWidth(width);
  std::vector<double> native(static_cast<std::size_t>(width));
  for (int k = 1; k <= width; ++k) native[static_cast<std::size_t>(k - 1)] = spectrum[k];
  return native;
}

}  // namespace lxr4
