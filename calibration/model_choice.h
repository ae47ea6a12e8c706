// The calibration an automatic identification ends with: the model chosen by
// leave-one-out error among the polynomials and the grating model, and the
// checks it must pass to be put in force. Pure code.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "calibration/line_fit.h"

namespace lxr4 {

// An automatic calibration is refused above this rms over its lines.
inline constexpr double kMaxAutomaticRmsPixels = 0.5;
// Its clipping judges by a sigma of at least this many pixels: a line a
// tenth of a pixel off is measured as well as a centroid can be, not wrong.
inline constexpr double kAutomaticClipFloorPixels = 0.1;
// A calibration warns when it is used further than this share of the
// detector beyond its outermost lines.
inline constexpr double kExtrapolationShare = 0.1;

struct ModelChoice {
  FitResult fit;  // the chosen model fitted to the lines, with clipping
  // Leave-one-out rms in Angstroms: each used line predicted by the fit
  // through the others (infinity where a model cannot be judged).
  std::array<double, kMaxPolynomialOrder + 1> polynomial{};  // by order; 0 unused
  double grating = 0;
};

// The clipping floor of an automatic fit over `lines` (Angstroms):
// kAutomaticClipFloorPixels at the mean dispersion between the outermost
// used lines, never below kClipSigmaFloor.
[[nodiscard]] double AutomaticClipFloor(const LineSet& lines);

// The polynomial order whose leave-one-out error is lowest (a higher order
// only when it gains a tenth, ChooseOrderByLeaveOneOut), and the grating
// model instead when its error is no larger: fewer parameters, the same
// accuracy. `options` as for the fits; the fit chosen is made with clipping,
// its floor kAutomaticClipFloorPixels at the lines' mean dispersion.
[[nodiscard]] ModelChoice ChooseModel(const LineSet& lines, const InstrumentSettings& settings, float pixelWidth,
                                      FitOptions options);

// Why a fit cannot be put in force by the automatic calibration, or nullopt.
[[nodiscard]] std::optional<std::string> AutomaticFitProblem(const FitResult& fit);

// Whether `calibration` is used at `pixel` further than kExtrapolationShare
// of its detector beyond its outermost lines (never when those are unknown).
[[nodiscard]] bool Extrapolated(const FittedCalibration& calibration, double pixel);
// The warning for a calibration so used somewhere on its detector, or "".
[[nodiscard]] std::string ExtrapolationWarning(const FittedCalibration& calibration);

}  // namespace lxr4
