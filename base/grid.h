// The program's arrays: the 768 x 20 pixel grid of a camera image and the
// spectrum of 768 columns, both indexed from 1, and its 16-bit flags.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lxr4 {

// A flag is a 16-bit integer holding 0 (false) or -1 (true).
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

inline constexpr int kGridColumns = 768;
inline constexpr int kGridRows = 20;
// The most pixels along the dispersion of a FITS frame's detector.
inline constexpr int kMaxDetectorPixels = 65536;

// 768 columns x 20 rows of 16-bit values, indexed (column, row) from 1.
struct PixelGrid {
  std::array<std::int16_t, kGridColumns * kGridRows> cells{};
  [[nodiscard]] std::int16_t& at(int column, int row) {
    return cells[static_cast<std::size_t>((row - 1) * kGridColumns + (column - 1))];
  }
  [[nodiscard]] std::int16_t at(int column, int row) const {
    return cells[static_cast<std::size_t>((row - 1) * kGridColumns + (column - 1))];
  }
};

// 768 32-bit values indexed from 1 (entry 0 is unused).
struct Spectrum {
  std::array<std::int32_t, kGridColumns + 1> values{};
  [[nodiscard]] std::int32_t& operator[](int column) { return values[static_cast<std::size_t>(column)]; }
  [[nodiscard]] std::int32_t operator[](int column) const { return values[static_cast<std::size_t>(column)]; }
};

}  // namespace lxr4
