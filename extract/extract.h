// A spectrum extracted along the trace, column by column, less the sky from
// two side bands (extract/sky.h): a boxcar sum over an aperture, or Horne's
// (1986) optimal extraction with its profile taken from the frame. Pure code
// on explicit inputs; coordinates as in extract/frame.h, values in the frame's
// units.
#pragma once

#include <vector>

#include "base/result.h"
#include "extract/frame.h"
#include "extract/sky.h"
#include "extract/trace.h"

namespace lxr4 {

struct ExtractOptions {
  double halfWidth = 0;  // of the aperture about the trace's centre, pixels (> 0)
  SkyOptions sky;
  double rejectSigma = 5;      // optimal: a pixel this far from the profile's model is a cosmic ray
  int profileHalfWindow = 15;  // optimal: columns either side the profile is smoothed over
};

enum class ExtractError {
  None,
  BadFrame,          // empty, sizes disagree, a value not finite, gain <= 0
  BadOptions,        // aperture <= 0, sky bands overlapping it or of no width, fit order outside 0..2
  ApertureOffFrame,  // the aperture leaves the frame at some column
  SkyOffFrame,       // too few of the sky bands' pixels on the frame at some column
};

struct ExtractedSpectrum {
  std::vector<double> flux;      // per column x = 0..width-1, the sky subtracted
  std::vector<double> variance;  // of flux, the sky's own uncertainty included
  std::vector<double> sky;       // the sky subtracted under the aperture, per column
  int rejectedPixels = 0;        // optimal: pixels left out as cosmic rays
};
using ExtractResult = Result<ExtractError, ExtractedSpectrum>;

// The aperture's half-width for a trace: 3 sigma of its profile, at least 1.5 pixels.
[[nodiscard]] double DefaultHalfWidth(const TraceValue& trace);

// The sum over rows centre +- halfWidth of each column, a pixel the aperture
// covers in part weighted by the part covered; variance the same weights
// squared times the pixels' variances.
[[nodiscard]] ExtractResult ExtractBoxcar(const FrameView& frame, const TraceValue& trace,
                                          const ExtractOptions& options);

// Horne's optimal extraction over the same aperture: the profile across the
// slit from the frame, normalised column by column and smoothed along the
// dispersion (a weighted local quadratic over profileHalfWindow columns either
// side, so a tilted trace is not blurred), pixels weighted by profile /
// variance, the variance revised from the model (when the frame has none of
// its own) and the worst pixel beyond rejectSigma left out until none is; the
// profile is rebuilt without the pixels left out until they no longer change.
// The flux is on the boxcar's scale: the profile's covered parts sum to 1.
[[nodiscard]] ExtractResult ExtractOptimal(const FrameView& frame, const TraceValue& trace,
                                           const ExtractOptions& options);

}  // namespace lxr4
