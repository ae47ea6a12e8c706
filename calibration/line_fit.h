// Fits of a wavelength calibration to every used line of a line set: the
// grating model by least squares (focal length and alpha angle, optionally the
// reference column) and polynomials wavelength(column) of order 1 to 4, each
// with optional iterative sigma clipping. Pure code: a fit that cannot be made
// returns an error with the program's message and no calibration.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/calibration_values.h"
#include "base/grid.h"
#include "calibration/instrument.h"
#include "calibration/line_set.h"

namespace lxr4 {

// The wavelength of `column` (single precision, as every user of wavelengths
// takes it) and the local dispersion in Angstroms per column (signed).
[[nodiscard]] float FittedWavelength(const FittedCalibration& fit, double column);
[[nodiscard]] double FittedDispersion(const FittedCalibration& fit, double column);

// "Grating" or "Polynomial 1" to "Polynomial 4".
[[nodiscard]] std::string FitModelName(const FittedCalibration& fit);

// Sigma clipping: the worst line of the n in the fit (p parameters) is left
// out when its residual exceeds kClipSigma sigma, sigma = sqrt(sum r^2 /
// (n - 1 - p)) over the other lines (at least kClipSigmaFloor, the read-out's
// rounding, so exact lines stay); then the fit is made again, one line at a
// time, never below p + 2 lines. Judging a line against the others lets one
// bad line among few be found: against a sigma that includes it, it never
// lies beyond sqrt(n - p) sigma.
inline constexpr double kClipSigma = 3.0;
inline constexpr double kClipSigmaFloor = 0.001;  // Angstroms

inline constexpr int kMaxGratingIterations = 200;

struct FitOptions {
  bool clip = false;
  double clipFloor = kClipSigmaFloor;  // Angstroms: the least sigma clipping judges by
  bool fitReferenceColumn = false;            // grating fit only
  int maxIterations = kMaxGratingIterations;  // grating fit only: Levenberg-Marquardt steps per start
  // The detector the lines were measured on: its pixels 1..pixels, and (grating
  // fit only) the pixel where the settings' reference column lies when it is
  // not that number itself (a FITS frame's overview column on its detector).
  int pixels = kGridColumns;
  std::optional<double> referencePixel = std::nullopt;
};

// The first pixel of the detector (1..fit.pixels) where `fit` gives no wavelength
// above 0 (not a number, infinite, 0 or less), or nullopt when it gives one
// everywhere. Every fit and every calibration file is checked with it.
[[nodiscard]] std::optional<int> ColumnWithoutWavelength(const FittedCalibration& fit);

// Every fit refuses lines that cannot fix it: fewer different columns or
// wavelengths than it has parameters, wavelengths that do not rise (or fall)
// strictly with the column over the lines it keeps, and a result that gives
// a wavelength that is not above 0 anywhere on the detector.

// The figures that follow from a fit's residuals (`fit.lines`, one per line of
// `lines`): the rms in detector pixels over the lines in the fit, their
// coverage of the detector, and the calibration's outermost lines.
void FinishFigures(FitFigures& fit, const LineSet& lines);

// Least-squares polynomial of `order` (1..kMaxPolynomialOrder) through the
// used lines: at least order + 2 of them, so that one line judges the rest.
[[nodiscard]] FitResult FitPolynomial(const LineSet& lines, int order, const FitOptions& options);

// Least-squares grating model (Levenberg-Marquardt) for the instrument
// `settings` with pixel width `pixelWidth` (PixelWidthOf the settings and the
// header). The orientation follows the lines. The fit starts from an estimate
// made from the lines, and also from `start` (the calibration in force) when
// given; the better result of those that converged (no parameter moving by
// more than 1e-12 of itself) stands. NotConverged when none converged within
// options.maxIterations steps; Unreachable when the best one lies outside the
// limits of GratingValueProblem (a focal length of kilometres).
[[nodiscard]] FitResult FitGrating(const LineSet& lines, const InstrumentSettings& settings, float pixelWidth,
                                   const FitOptions& options,
                                   const std::optional<GratingParameters>& start = std::nullopt);

}  // namespace lxr4
