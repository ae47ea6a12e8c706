// Continuum normalisation of a spectrum: a low-order polynomial in wavelength
// through continuum points, either the samples inside given wavelength ranges
// or those left by iterative sigma clipping, which drops strong lines (with a
// few samples either side of each, where their wings lie), then the spectrum
// divided by it. Pure code; wavelengths in Angstrom, any flux unit.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace lxr4 {

enum class ContinuumError { None, SizeMismatch, NotFinite, TooFewPoints, BadOrder, NotPositive };

struct WavelengthRange {
  double min = 0;  // Angstrom, inclusive
  double max = 0;
};

struct ContinuumOptions {
  int order = 2;  // 0..5
  // The continuum's ranges; when empty the points are chosen by clipping.
  std::vector<WavelengthRange> ranges;
  double clipSigma = 2.5;  // a sample further than this many standard deviations from the fit is dropped
  int clipGrow = 2;        // and so are this many samples on each side of it
  int maxPasses = 10;
};

struct Continuum {
  std::vector<double> continuum;   // the fitted continuum at every sample
  std::vector<double> normalised;  // flux / continuum
  std::vector<bool> used;          // the samples the fit went through
};

// Refuses unequal lengths, values that are not finite, fewer continuum points
// than order + 2, an order outside 0..5, and a continuum that is not above
// zero at every sample (nothing could be divided by it).
[[nodiscard]] Result<ContinuumError, Continuum> NormaliseContinuum(std::span<const double> wavelengths,
                                                                   std::span<const double> fluxes,
                                                                   const ContinuumOptions& options);

struct Polynomial {
  std::vector<double> coefficients;  // in powers of (x - centre) / halfWidth
  double centre = 0;
  double halfWidth = 1;
  [[nodiscard]] double operator()(double x) const;
};

// The least-squares polynomial of `order` through the points where `use` is
// true, each with weight `weights[i]` (all 1 when empty); nullopt when the
// points do not fix it. Its coefficients' covariance (for unit weights scaled
// by the caller) goes to `covariance` when given, row by row.
std::optional<Polynomial> FitPolynomial(std::span<const double> x, std::span<const double> y,
                                        const std::vector<bool>& use, int order,
                                        std::span<const double> weights = {},
                                        std::vector<double>* covariance = nullptr);

}  // namespace lxr4
