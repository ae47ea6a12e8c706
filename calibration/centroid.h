// The centroid of a spectral line: a sub-pixel column found in a window of
// columns around the cursor, against the background just outside the window.
#pragma once

#include <cstdint>
#include <span>

namespace lxr4 {

enum class CentroidError : std::uint8_t {
  None,
  SpectrumTooShort,  // fewer than width + 2 columns: the window does not fit
  NoLine,            // no spectrum, or the weights sum to zero: no line to measure
};

struct CentroidResult {
  CentroidError error = CentroidError::None;
  float column = 0;  // 1-based column position, when error is None
};

// `spectrum` holds columns 1..N (spectrum[0] is column 1); `cursor` is the
// column the window is centred on (the window moves inward near the ends);
// `width` is the window's odd number of columns. An emission or absorption
// line is chosen by the window's centre column against the background.
[[nodiscard]] CentroidResult FindCentroid(std::span<const std::int32_t> spectrum, int cursor, int width);

}  // namespace lxr4
