// The emission lines of a lamp (arc) spectrum at the detector's own pixels,
// each centred to a fraction of a pixel, for the automatic identification.
// Pure code on explicit inputs.
#pragma once

#include <span>
#include <vector>

namespace lxr4 {

// A peak is a local maximum (the highest pixel within kPeakReach, the middle
// of a flat top) standing more than `sigmas` noise sigmas above the
// background: a running median over kArcBackgroundPixels pixels; the noise
// is 1.4826 times the median absolute deviation from it, taken again over
// the deviations within 3 sigma until it settles (at least a thousandth of
// the highest peak: the dynamic range a lamp's line list is good for, and a
// floor for a noiseless spectrum).
inline constexpr int kArcBackgroundPixels = 51;
inline constexpr int kPeakReach = 2;
inline constexpr double kArcPeakSigmas = 5.0;
// A peak whose width exceeds the median width by this factor is a blend.
inline constexpr double kBlendWidthFactor = 1.6;

struct ArcPeak {
  double pixel = 0;        // the centre, a fractional detector pixel from 1
  double height = 0;       // counts above the background at the highest pixel
  double fwhm = 0;         // full width at half height, pixels
  bool saturated = false;  // a flat top of two or more equal pixels: the centre is less sure
  bool blended = false;    // wider than kBlendWidthFactor times the median width
};

struct ArcPeaks {
  std::vector<ArcPeak> peaks;  // in pixel order
  double noise = 0;            // the noise sigma, counts
};

// `spectrum` holds detector pixels 1..N (spectrum[0] is pixel 1). Each peak
// is centred by a Gaussian on a constant fitted by least squares over about
// +-1 FWHM; when that fit fails or strays beyond a pixel of the maximum (and
// on saturated tops, whose shape is cut), by a centre of gravity above the
// background re-centred until it stays. Values that are not finite count as
// background. Fewer than 2 * kPeakReach + 3 pixels give no peaks.
[[nodiscard]] ArcPeaks FindArcPeaks(std::span<const double> spectrum, double sigmas = kArcPeakSigmas);

}  // namespace lxr4
