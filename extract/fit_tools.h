// Small statistics and fits the trace, the sky and the extraction share:
// medians, a robust sigma, weighted polynomial least squares and a Gaussian
// fit to a profile.
#pragma once

#include <optional>
#include <span>
#include <vector>

namespace lxr4 {

// The median of `values` (reordered in place; the mean of the middle two for
// an even count); 0 for none.
[[nodiscard]] double MedianInPlace(std::span<double> values);

// 1.4826 x the median absolute deviation from the median: the sigma of a
// Gaussian sample, blind to a few outliers. 0 for fewer than two values.
[[nodiscard]] double RobustSigma(std::span<const double> values);

// Weighted least squares of y = sum c_k x^k, k = 0..order, over the points of
// weight > 0; empty when there are no more such points than unknowns or the
// system is singular.
[[nodiscard]] std::optional<std::vector<double>> FitPolynomial(std::span<const double> x,
                                                               std::span<const double> y,
                                                               std::span<const double> weight, int order);

// The polynomial with coefficients c (lowest power first) at x.
[[nodiscard]] double EvaluatePolynomial(std::span<const double> c, double x);

// A Gaussian plus a constant fitted to samples y at 0, 1, ..., n-1.
struct GaussianFit {
  double amplitude = 0;
  double centre = 0;
  double sigma = 0;
  double background = 0;
};

// Starting from `start`, a Gauss-Newton fit with damping; empty when it does
// not converge to a positive peak of sigma 0.3 .. n/2 with its centre inside the samples.
[[nodiscard]] std::optional<GaussianFit> FitGaussian(std::span<const double> y, GaussianFit start);

}  // namespace lxr4
