// Automatic identification of the lines of a lamp (arc) spectrum: its peaks
// at the detector's own pixels matched one to one to a line list from a
// rough start, and a polynomial calibration fitted through them. Pure code
// on explicit inputs; nothing of the program's state changes.
//
// The steps: peaks (arc_peaks.h); from a rough start, votes of every (peak,
// list line) pair over (dispersion, central wavelength) for linear solutions
// (a Hough transform), then, near each of the best, quadratics through three
// candidate pairs at a time that most peaks agree with (RANSAC with a fixed
// seed, so the same input gives the same answer), drawn from the middle of
// the detector where a quadratic follows a real arc; then refinement outward
// from each of the few best: every peak matched to its nearest list line,
// mutual nearest only, within a reach that tightens from 3 pixels to 1.5,
// refitted, clipped at 3 sigma of the median absolute deviation, until the
// matches stay; the order raised one at a time when the leave-one-out error
// drops. The refined solution kept is the one the strongest peaks agree with
// best.
//
// Every score is judged against chance: a peak near some list line counts
// only for what it earns beyond what it would earn where it lands by accident
// (from the list's density there, over 25 pixels either way), and the
// strongest peaks count most. A stretch of list dense enough that any peak
// finds a line in it (ion lines crowded in the blue, several gases merged)
// so explains nothing, however many peaks a solution puts there.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "base/calibration_values.h"
#include "base/result.h"

namespace lxr4 {

// Where the search starts. With `calibration` (the calibration in force,
// detector pixel from 1 -> Angstroms) the pattern vote is skipped and the
// candidates lie near it; without it, the arc's wavelength at the middle of
// the detector and the dispersion (Angstroms per pixel, negative when the
// wavelength falls as the pixel rises) are each known to `tolerance`: the
// start's dispersion within that share of the arc's (the arc's from
// dispersion / (1 + tolerance) to dispersion / (1 - tolerance)), the central
// wavelength within that share of the detector's span in Angstroms. A
// tolerance below 0.05 counts as 0.05.
struct AutoIdentifyStart {
  std::function<double(double pixel)> calibration = {};
  double centralWavelength = 0;
  double dispersion = 0;
  double tolerance = 0.2;
  // Pixels the calibration may be off by; 0: a real arc's bending from a
  // rough solution (a few percent of the detector). A calibration moved onto
  // a new lamp by its measured shift is off by far less.
  double calibrationReach = 0;
};

enum class AutoIdentifyError : std::uint8_t {
  None,
  BadStart,     // a start that is not finite, a dispersion of 0, a tolerance outside 0..0.9
  NoListLines,  // no list line could fall on the detector
  TooFewPeaks,  // fewer than kMinAutoLines peaks stand above the noise
  NoSolution,   // no consistent solution: fewer than kMinAutoLines peaks agree with one
  FitFailed,    // the lines found give no valid polynomial (FitPolynomial's message)
};

// A solution needs this many lines: a quadratic and one line to judge it by.
inline constexpr int kMinAutoLines = 4;

struct AutoIdentification {
  LineSet lines;                  // the identified lines, all used, in pixel order (column = detector pixel)
  FittedCalibration calibration;  // the polynomial through them, kind Polynomial, pixels = the detector's
  double rms = 0;                 // Angstroms, over the lines
  double rmsPixels = 0;           // the same over the local dispersion
  int linesUsed = 0;              // = lines.size()
  int linesOffered = 0;           // list lines that fall on the detector under the solution
  int peaks = 0;                  // peaks found in the spectrum
  double coverage = 0;            // share of the detector between the outermost lines, 0..1
};
using AutoIdentifyResult = Result<AutoIdentifyError, AutoIdentification>;

// `spectrum` holds detector pixels 1..N (spectrum[0] is pixel 1); `list` any
// order, several gases merged (a wavelength named twice counts once). A peak
// matches no line when a second list line lies within a quarter of its width
// of its predicted wavelength or within three times the nearest one's
// distance: it cannot tell them apart. Blended peaks match nothing.
[[nodiscard]] AutoIdentifyResult AutoIdentifyLines(std::span<const double> spectrum,
                                                   const std::vector<ListLine>& list,
                                                   const AutoIdentifyStart& start);

// Leave-one-out error of polynomial orders over the used lines of `lines`:
// each line predicted by the fit through all the others, rms in Angstroms
// (entry k for order k, 0 unused; infinity where an order has fewer than
// order + 2 lines or cannot be fitted). The orders are taken in turn from 1
// up to `maxOrder` (at most kMaxPolynomialOrder); the choice moves to an
// order whose error is below (1 - kOrderGain) times that of the order chosen
// so far; 0 when not even a line can be judged.
inline constexpr double kOrderGain = 0.1;  // a tenth of the error
struct OrderChoice {
  int order = 0;
  std::array<double, kMaxPolynomialOrder + 1> leaveOneOut{};
};
[[nodiscard]] OrderChoice ChooseOrderByLeaveOneOut(const LineSet& lines, int maxOrder = kMaxPolynomialOrder);

}  // namespace lxr4
