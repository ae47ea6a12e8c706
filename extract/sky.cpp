// The sky from the side bands, by median or clipped polynomial.
#include "extract/sky.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "extract/fit_tools.h"

namespace lxr4 {

double SkyColumn::At(double y) const { return EvaluatePolynomial(coefficients, y - centre); }

std::optional<SkyColumn> FitSkyColumn(const FrameView& frame, int x, double centre,
                                      const SkyOptions& options) {
  SkyColumn sky;
  sky.centre = centre;
  if (options.method == SkyMethod::None) return sky;
  std::vector<double> u, value, variance;
  for (const double side : {-1.0, 1.0}) {
    const double a = centre + side * options.offset, b = centre + side * (options.offset + options.width);
    const int y0 = std::max(0, static_cast<int>(std::ceil(std::min(a, b))));
    const int y1 = std::min(frame.height - 1, static_cast<int>(std::floor(std::max(a, b))));
    for (int y = y0; y <= y1; ++y) {
      u.push_back(y - centre);
      value.push_back(frame.at(x, y));
      variance.push_back(PixelVariance(frame, x, y));
    }
  }
  const int order = options.method == SkyMethod::Fit ? options.fitOrder : 0;
  if (static_cast<int>(u.size()) < std::max(3, order + 2)) return std::nullopt;

  double meanVariance = 0;
  if (options.method == SkyMethod::Median) {
    std::vector<double> copy = value;
    sky.coefficients = {MedianInPlace(copy)};
    for (double v : variance) meanVariance += v;
    sky.pixels = static_cast<int>(u.size());
    // A median's variance is pi/2 times a mean's.
    sky.variance = std::numbers::pi / 2 * meanVariance / sky.pixels / sky.pixels;
    return sky;
  }
  std::vector<double> weight(u.size(), 1.0);
  std::optional<std::vector<double>> c;
  for (int pass = 0; pass < 5; ++pass) {
    c = FitPolynomial(u, value, weight, order);
    if (!c) return std::nullopt;
    std::vector<double> residuals;
    for (std::size_t i = 0; i < u.size(); ++i) {
      if (weight[i] > 0) residuals.push_back(value[i] - EvaluatePolynomial(*c, u[i]));
    }
    const double limit = 3 * RobustSigma(residuals);
    bool changed = false;
    for (std::size_t i = 0; i < u.size(); ++i) {
      const bool keep = !(limit > 0) || std::abs(value[i] - EvaluatePolynomial(*c, u[i])) <= limit;
      if (keep != (weight[i] > 0)) {
        weight[i] = keep ? 1.0 : 0.0;
        changed = true;
      }
    }
    if (!changed) break;
  }
  c = FitPolynomial(u, value, weight, order);  // on the pixels the last pass kept
  if (!c) return std::nullopt;
  for (std::size_t i = 0; i < u.size(); ++i) {
    if (weight[i] > 0) {
      meanVariance += variance[i];
      ++sky.pixels;
    }
  }
  if (sky.pixels < std::max(3, order + 2)) return std::nullopt;
  sky.coefficients = *c;
  // A fit of k unknowns through n points: about k / n of a point's variance.
  sky.variance = (order + 1) * meanVariance / sky.pixels / sky.pixels;
  return sky;
}

}  // namespace lxr4
