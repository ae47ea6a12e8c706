// Spectrum extraction: sums the crop box of a 768 x 20 pixel grid column by
// column into a spectrum, with the median clean-up, the airglow filter and the
// smoothing options. Pure code on explicit inputs: nothing here allocates or
// touches the window; the handlers copy the results into the state.
//
// Columns and rows count from 1. Only columns 1..width of the spectra are
// written; later entries keep what they held.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/grid.h"

namespace lxr4 {

// The smallest value of a spectrum starts from this bound, above any value an
// extraction can produce.
inline constexpr std::int32_t kSpectrumMinStart = 1310720;

struct ObjectOptions {
  bool median = false;     // "Use Median"
  bool filter = false;     // "Filter Airglow"
  bool smoothing = false;  // "Smoothing On"
};

// What FinishSpectrum leaves beside the spectrum: its extremes over 1..length
// (max 0 and min kSpectrumMinStart for an empty spectrum) and its length.
struct SpectrumExtent {
  std::int32_t max = 0;
  std::int32_t min = kSpectrumMinStart;
  std::int16_t length = 0;
};

// The box of rows cropTop..cropBottom, inclusive. A box outside 1..20 or
// upside down is narrowed to fit the grid, so the height is always 1..20.
struct CropRows {
  std::int16_t top = 1;
  std::int16_t bottom = kGridRows;
};

// Median of four values: the mean of the middle two, truncated toward zero.
[[nodiscard]] std::int16_t MedianOfFour(std::int16_t a, std::int16_t b, std::int16_t c, std::int16_t d);

// Row `row` (1..20) of the grid as the object extraction sums it, columns
// 1..width into cleaned[0..width-1]. With the median on, a pixel of a column
// strictly between 1 and `width` that differs from the truncated mean of its
// neighbours is replaced by the median of its cross of neighbours (rows 1 and
// 20, which have one vertical neighbour, count the pixel itself as the fourth
// value). Reads only the grid as loaded.
void CleanRow(const PixelGrid& pixels, int width, int row, bool median,
              std::span<std::int16_t, kGridColumns> cleaned);

// The value of one object column from its inside sum S, its outside sum O and
// the box height h (1..20): S when h is 20; else S x 20 / h, less the sky
// (O x h) div (20 - h) from S first when filtered; the division by h in double
// precision, rounded halves-to-even. May be negative when filtered.
[[nodiscard]] std::int32_t ColumnValue(std::int32_t inside, std::int32_t outside, int height, bool filter);

// Five-point weighted running mean (2, 5, 10, 5, 2) / 24 over columns
// 3..width-2, truncating toward zero; columns 1, 2, width-1 and width stay.
void SmoothSpectrum(Spectrum& spectrum, int width);

// Clamps columns 1..width of `spectrum` to 0 or more, copies them to `copy`
// and measures them.
[[nodiscard]] SpectrumExtent FinishSpectrum(Spectrum& spectrum, int width, Spectrum& copy);

// Object spectrum: each column's inside sum scaled to a 20-row equivalent,
// less the sky of the outside rows when filtered, then smoothed and finished
// into `current` and `copy`. A width outside 0..768 is taken as its nearest.
[[nodiscard]] SpectrumExtent ExtractObject(const PixelGrid& pixels, int width, CropRows crop,
                                           ObjectOptions options, Spectrum& current, Spectrum& copy);

// Calibration spectrum: the raw sums of the crop rows, optionally smoothed,
// finished into `current` and `copy`.
[[nodiscard]] SpectrumExtent ExtractCal(const PixelGrid& pixels, int width, CropRows crop, bool smoothing,
                                        Spectrum& current, Spectrum& copy);

// A frame's spectrum at the detector's own pixels, from its swath: `rows`
// rows of `length` values in the frame's units, row by row. The calibration
// spectrum is the sum of the crop rows; the object's is scaled to all the
// swath's rows, less the sky of the rows outside the box when filtered, as
// the overview's columns are. Smoothing takes the overview's weights without
// its rounding; the median clean-up is the overview's alone. Values are
// neither rounded nor clamped.
struct NativeOptions {
  bool object = false;
  bool filter = false;
  bool smoothing = false;
};
[[nodiscard]] std::vector<double> ExtractNative(std::span<const float> swath, int rows, int length, CropRows crop,
                                                NativeOptions options);

// The spectrum's columns 1..width as values at detector pixels (a camera
// image is its own detector).
[[nodiscard]] std::vector<double> NativeOfColumns(const Spectrum& spectrum, int width);

}  // namespace lxr4
