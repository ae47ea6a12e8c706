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

#include "calibration/instrument.h"
#include "calibration/line_set.h"

namespace lxr4 {

inline constexpr int kMaxPolynomialOrder = 4;

// wavelength = sum of coefficients[k] * t^k, t = (column - centre) / scale:
// centring and scaling the columns keeps the fit well conditioned.
struct PolynomialModel {
  int order = 1;
  double centre = 0, scale = 1;
  std::array<double, kMaxPolynomialOrder + 1> coefficients{};

  friend bool operator==(const PolynomialModel&, const PolynomialModel&) = default;
};

enum class FitKind : std::uint8_t { Grating, Polynomial };

// A calibration made by a fit, ready to be the calibration in force.
struct FittedCalibration {
  FitKind kind = FitKind::Grating;
  GratingModel grating;        // when kind is Grating
  PolynomialModel polynomial;  // when kind is Polynomial
};

// The wavelength of `column` (single precision, as every user of wavelengths
// takes it) and the local dispersion in Angstroms per column (signed).
[[nodiscard]] float FittedWavelength(const FittedCalibration& fit, double column);
[[nodiscard]] double FittedDispersion(const FittedCalibration& fit, double column);

// "Grating" or "Polynomial 1" to "Polynomial 4".
[[nodiscard]] std::string FitModelName(const FittedCalibration& fit);

struct LineResidual {
  double fitted = 0;          // the fit's wavelength at the line's centroid
  double residual = 0;        // catalogue minus fitted, Angstroms
  double residualPixels = 0;  // the same in columns, over the local dispersion
  bool used = false;          // in the fit: the line is used and not clipped
  bool clipped = false;       // left out by sigma clipping
};

// Sigma clipping: the worst line of the n in the fit (p parameters) is left
// out when its residual exceeds kClipSigma sigma, sigma = sqrt(sum r^2 /
// (n - 1 - p)) over the other lines (at least kClipSigmaFloor, the read-out's
// rounding, so exact lines stay); then the fit is made again, one line at a
// time, never below p + 2 lines. Judging a line against the others lets one
// bad line among few be found: against a sigma that includes it, it never
// lies beyond sqrt(n - p) sigma.
inline constexpr double kClipSigma = 3.0;
inline constexpr double kClipSigmaFloor = 0.001;  // Angstroms

struct FitOptions {
  bool clip = false;
  bool fitReferenceColumn = false;  // grating fit only
};

enum class FitError : std::uint8_t {
  None,
  BadOrder,      // polynomial order outside 1..4
  TooFewLines,   // fewer used lines than the fit has parameters
  BadLine,       // a used line's wavelength or centroid is not a finite number
  NoPixelWidth,  // grating fit without a pixel width above 0
  Unreachable,   // the grating cannot give these wavelengths at any angle
  Singular,      // the lines do not fix the parameters (too few different columns)
  NotFinite,     // the fit gives no finite result
};

struct FitResult {
  FitError error = FitError::None;
  std::string message;  // the program's text for the error; empty on success
  FittedCalibration calibration;
  std::vector<LineResidual> lines;  // one per line of the set, in its order
  double rms = 0;                   // Angstroms, over the lines in the fit
  int linesUsed = 0, linesTotal = 0;
};

// Least-squares polynomial of `order` (1..4) through the used lines.
[[nodiscard]] FitResult FitPolynomial(const LineSet& lines, int order, const FitOptions& options);

// Least-squares grating model (Levenberg-Marquardt) for the instrument
// `settings` with pixel width `pixelWidth` (PixelWidthOf the settings and the
// header). The orientation follows the lines. The fit starts from an estimate
// made from the lines, and also from `start` (the calibration in force) when
// given; the better result stands.
[[nodiscard]] FitResult FitGrating(const LineSet& lines, const InstrumentSettings& settings, float pixelWidth,
                                   const FitOptions& options,
                                   const std::optional<GratingParameters>& start = std::nullopt);

}  // namespace lxr4
