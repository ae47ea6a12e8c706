// The sky under the trace, column by column, from two bands beside it across
// the slit. Pure code on explicit inputs; coordinates as in extract/frame.h.
#pragma once

#include <optional>
#include <vector>

#include "extract/frame.h"

namespace lxr4 {

enum class SkyMethod {
  None,    // no sky subtracted
  Median,  // the median of the bands' pixels, one level across the slit
  Fit,     // a polynomial across the slit through the bands' pixels, clipped at 3 sigma
};

struct SkyOptions {
  SkyMethod method = SkyMethod::Median;
  double offset = 10;  // from the trace's centre to a band's inner edge, pixels
  double width = 10;   // of each band, pixels
  int fitOrder = 1;    // of the Fit's polynomial: 0..2
};

// One column's sky: its value at any row and the variance of that value.
struct SkyColumn {
  std::vector<double> coefficients;  // of y - centre, lowest power first; empty for no sky
  double centre = 0;
  double variance = 0;  // of the level, frame units squared
  int pixels = 0;       // the bands' pixels it kept

  [[nodiscard]] double At(double y) const;
};

// The sky of column x around a trace centred at `centre`: the pixels whose
// centres lie within the bands, those off the frame left out. Empty when fewer
// than 3 (and than the polynomial's unknowns + 1) of them are on the frame.
// SkyMethod::None gives a zero sky.
[[nodiscard]] std::optional<SkyColumn> FitSkyColumn(const FrameView& frame, int x, double centre,
                                                    const SkyOptions& options);

}  // namespace lxr4
