// The values of a calibration over many lines that the application state
// holds: the instrument's settings, the lines, a fit and its residuals, the
// lines of a line list. The calibration folder computes with them
// (instrument.h, line_set.h, line_fit.h, line_list_file.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"

namespace lxr4 {

struct InstrumentSettings {
  double grooveDensity = 300;      // lines per mm; 300 is the LXR-4's 3.333333 micrometre grating
  double deviationAngle = 30;      // degrees; alpha + beta at the reference column
  double referenceColumn = 381;    // the column the lens axis meets (theta 0 there)
  bool correction = true;          // the empirical correction made for the LXR-4
  std::optional<float> pixelSize;  // micrometres; overrides the image header's when set

  friend bool operator==(const InstrumentSettings&, const InstrumentSettings&) = default;
};

// The fitted part of the model. The reference column starts as the settings'
// and changes only when a fit frees it.
struct GratingParameters {
  double focalLength = 50;  // mm
  double alphaAngle = 0;    // degrees
  double referenceColumn = 381;
  bool descending = false;  // wavelength falls as the column number rises

  friend bool operator==(const GratingParameters&, const GratingParameters&) = default;
};

// Everything the model reads: settings, the pixel width in force, parameters.
struct GratingModel {
  InstrumentSettings settings;
  float pixelWidth = 0;  // micrometres, PixelWidthOf the settings and the image header
  GratingParameters parameters;
};

struct CalibrationLine {
  double wavelength = 0;  // Angstroms, as the line list or the user gives it
  float column = 0;       // the centroid, a fractional column from 1
  std::string label;      // "Ne", "Hg I", ... (may be empty)
  bool used = true;       // the user's choice: a line not used stays in the table, out of the fits

  friend bool operator==(const CalibrationLine&, const CalibrationLine&) = default;
};

using LineSet = std::vector<CalibrationLine>;

inline constexpr int kMaxPolynomialOrder = 5;

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
  // The detector pixels it counts, 1..pixels: the camera image's 768 columns,
  // or a FITS frame's pixels along the dispersion.
  int pixels = 768;
  GratingModel grating;        // when kind is Grating
  PolynomialModel polynomial;  // when kind is Polynomial
  // The detector pixels of the outermost lines it was fitted to (both 0 when
  // not known): beyond them its wavelengths are extrapolated.
  double firstLine = 0, lastLine = 0;
};

struct LineResidual {
  double fitted = 0;          // the fit's wavelength at the line's centroid
  double residual = 0;        // catalogue minus fitted, Angstroms
  double residualPixels = 0;  // the same in columns, over the local dispersion
  bool used = false;          // in the fit: the line is used and not clipped
  bool clipped = false;       // left out by sigma clipping
};

enum class FitError : std::uint8_t {
  None,
  BadOrder,         // polynomial order outside 1..kMaxPolynomialOrder
  TooFewLines,      // fewer used lines than the fit has parameters
  BadLine,          // a used line's wavelength or centroid is not a finite number
  NoPixelWidth,     // grating fit without a pixel width above 0
  Unreachable,      // the grating cannot give these wavelengths at any angle
  Singular,         // the lines do not fix the parameters (too few different columns)
  NotFinite,        // the fit gives no finite result
  SameWavelengths,  // too few different wavelengths among the lines in the fit
  NotMonotonic,     // the wavelengths do not rise (or fall) strictly with the column
  BadWavelengths,   // the fit gives a wavelength that is not a number above 0 on the detector
  NotConverged,     // the grating fit was still moving after its most iterations
};

struct FitFigures {
  FittedCalibration calibration;
  std::vector<LineResidual> lines;  // one per line of the set, in its order
  double rms = 0;                   // Angstroms, over the lines in the fit
  double rmsPixels = 0;             // the same over the local dispersion, detector pixels
  double coverage = 0;              // share of the detector between the outermost lines in the fit, 0..1
  int linesUsed = 0, linesTotal = 0;
};
using FitResult = Result<FitError, FitFigures>;

struct ListLine {
  double wavelength = 0;  // Angstroms
  std::string label;

  friend bool operator==(const ListLine&, const ListLine&) = default;
};

// A line list file as loaded: its file name and lines.
struct NamedLineList {
  std::string name;
  std::vector<ListLine> lines;
};

// The lamp: the gases (built-in lists, "Ne") and loaded lists (by file name)
// whose lines identification takes, in air or vacuum wavelengths.
struct LampChoice {
  std::vector<std::string> names;
  bool vacuum = false;

  friend bool operator==(const LampChoice&, const LampChoice&) = default;
};

}  // namespace lxr4
