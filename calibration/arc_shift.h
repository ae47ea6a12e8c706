// How far a lamp (arc) spectrum has moved on the detector since a saved one:
// a shift and a small stretch, measured by cross-correlating the two, so that
// a saved calibration can be carried to a new lamp (reidentify.h). Pure code
// on explicit inputs.
//
// Convention: a feature at pixel p of the saved arc lies at pixel
//   centre + (p - centre) * stretch + shift
// of the current arc, centre = (saved length + 1) / 2, the saved arc's
// middle; pixels count from 1 (arc[0] is pixel 1) in both.
#pragma once

#include <span>

namespace lxr4 {

// Below this peak correlation there is no clear match: the arcs show
// different lines, or none. Two arcs of one lamp correlate above 0.8 even
// after a quarter of the detector's shift; unrelated arcs (another lamp, noise
// alone) stay below 0.4.
inline constexpr double kMinArcCorrelation = 0.5;
// The stretches searched: 1 - kMaxArcStretch to 1 + kMaxArcStretch.
inline constexpr double kMaxArcStretch = 0.02;

struct ArcShift {
  double shift = 0;        // pixels, at the saved arc's middle
  double stretch = 1;      // current pixels per saved pixel
  double centre = 0;       // the saved arc's middle pixel, (length + 1) / 2
  double correlation = 0;  // the peak's normalised cross-correlation, 0..1
  bool ok = false;         // false: no clear peak; shift and stretch then mean nothing

  [[nodiscard]] double CurrentPixel(double savedPixel) const {
    return centre + (savedPixel - centre) * stretch + shift;
  }
  [[nodiscard]] double SavedPixel(double currentPixel) const {
    return centre + (currentPixel - shift - centre) / stretch;
  }
};

// Each arc has its running median (over kArcBackgroundPixels) taken off and
// what stands less than 3 noise sigmas above it set to 0 (non-finite values
// count as background), then is scaled to a unit sum of squares. The shift
// is searched over a quarter of the longer arc's length either way, the
// stretch within kMaxArcStretch: every whole shift and stretch step on arcs
// binned to at most 1024 pixels, then about the best on arcs binned half as
// much, down to full resolution. The shift's fraction comes from a parabola
// through the correlation's logarithm at the peak and its two neighbours
// (exact for Gaussian lines), the stretch's from the same over the peak
// correlation at each stretch step. The arcs may differ in length. Not
// ok when either arc has nothing above its background, the peak lies at the
// edge of the search, or the correlation is below kMinArcCorrelation (the
// correlation is then the best one found, 0 for an arc without lines).
[[nodiscard]] ArcShift MeasureArcShift(std::span<const double> saved, std::span<const double> current);

}  // namespace lxr4
