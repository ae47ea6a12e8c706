// Measurement of one spectral line: its centroid, the centre, FWHM and peak of
// a fitted profile, its equivalent width, its flux above or below the
// continuum and the signal-to-noise ratio around it, each with its standard
// uncertainty. Pure code on explicit inputs; wavelengths in Angstrom
// (ascending), fluxes in any one unit.
//
// The continuum is a straight line: fitted through the samples of the two
// continuum regions when they are given, else through the first and last
// kEndSamples samples of the line region. The per-sample noise is given, or
// else the scatter of those continuum samples about their line.
//
// Sums run over the samples inside the line region, each standing for its bin
// (from halfway to the previous sample to halfway to the next), as specutils
// integrates. Uncertainties: the centroid's, flux's and equivalent width's
// propagate the per-sample noise of the line region and the continuum line's
// own uncertainty; the profile's come from the fit's covariance (the
// continuum taken as exact).
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

#include "base/result.h"

namespace lxr4 {

enum class LineError {
  None,
  SizeMismatch,   // wavelengths, fluxes and noise of different lengths
  NotFinite,      // a value that is not a number, or noise not above zero
  NotAscending,   // wavelengths not strictly increasing
  TooFewSamples,  // too few samples in the line or continuum regions
  NoNoise,        // no noise given and the continuum shows no scatter
  NoLine,         // nothing stands above or below the continuum by 3 times its flux's uncertainty
  FitFailed,      // the profile fit found no finite minimum
};

enum class LineProfile {
  Gaussian,
  Lorentzian,
  PseudoVoigt,  // eta Lorentzian + (1 - eta) Gaussian of one shared FWHM (Wertheim et al. 1974)
};

struct WavelengthRegion {
  double min = 0;  // Angstrom, inclusive
  double max = 0;
};

// How many samples at each end of the line region set the continuum when no
// continuum regions are given.
inline constexpr int kEndSamples = 3;

struct LineRequest {
  std::span<const double> wavelengths;  // Angstrom, strictly ascending
  std::span<const double> fluxes;
  std::span<const double> noise;  // one standard deviation per sample; empty to estimate it
  WavelengthRegion line;
  std::optional<std::array<WavelengthRegion, 2>> continuum;
  LineProfile profile = LineProfile::Gaussian;
};

struct Estimate {
  double value = 0;
  double error = 0;  // one standard deviation
};

struct LineMeasurement {
  Estimate centroid;    // Angstrom: flux-weighted mean wavelength of the line above (or below) the continuum
  Estimate centre;      // Angstrom: centre of the fitted profile
  Estimate fwhm;        // Angstrom: full width at half maximum of the fitted profile
  Estimate momentFwhm;  // Angstrom: 2 sqrt(2 ln 2) times the line's second moment (specutils' gaussian_fwhm)
  Estimate peak;        // the fitted profile's height above the continuum (below zero for absorption)
  Estimate lorentzFraction;  // eta of the pseudo-Voigt profile (0 for Gaussian, 1 for Lorentzian)
  Estimate flux;             // flux unit x Angstrom: integral of flux - continuum (below zero for absorption)
  // Angstrom: integral of 1 - flux / continuum, above zero for absorption and
  // below for emission as specutils gives it; none unless the continuum lies
  // above zero by 3 times its uncertainty all along the line region.
  std::optional<Estimate> equivalentWidth;
  Estimate snr;      // mean of flux / noise over the line region (specutils' snr)
  double noise = 0;  // the per-sample noise estimated from the continuum (0 when given)
  double continuumAtCentre = 0;
  double continuumSlope = 0;  // per Angstrom

  int samples = 0;  // in the line region
};

// Refuses mismatched or non-finite input, unordered wavelengths, fewer than 5
// samples in the line region (or 3 in the continuum regions), a line that
// does not stand out, and a fit that does not converge or puts the centre on
// the region's first or last sample; with the program's text for each.
[[nodiscard]] Result<LineError, LineMeasurement> MeasureLine(const LineRequest& request);

// The profile's shape at distance dx from its centre, 1 at the centre.
double LineShape(LineProfile profile, double dx, double fwhm, double lorentzFraction);

}  // namespace lxr4
