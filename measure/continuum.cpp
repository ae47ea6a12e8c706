// Polynomial continuum fits and the sigma clipping that finds the continuum.
#include "measure/continuum.h"

#include <algorithm>
#include <cmath>

#include "base/linear_solve.h"

namespace lxr4 {

double Polynomial::operator()(double x) const {
  const double t = (x - centre) / halfWidth;
  double sum = 0;
  for (auto c = coefficients.rbegin(); c != coefficients.rend(); ++c) sum = sum * t + *c;
  return sum;
}

std::optional<Polynomial> FitPolynomial(std::span<const double> x, std::span<const double> y,
                                        const std::vector<bool>& use, int order,
                                        std::span<const double> weights, std::vector<double>* covariance) {
  // Powers of a variable scaled to -1..1 keep the normal equations well conditioned.
  double lo = INFINITY, hi = -INFINITY;
  std::size_t count = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!use[i]) continue;
    lo = std::min(lo, x[i]);
    hi = std::max(hi, x[i]);
    ++count;
  }
  const int n = order + 1;
  if (count < static_cast<std::size_t>(n) || order < 0) return std::nullopt;
  Polynomial p;
  p.centre = (lo + hi) / 2;
  p.halfWidth = hi > lo ? (hi - lo) / 2 : 1;
  std::vector<double> normal(static_cast<std::size_t>(n * n), 0.0), rhs(static_cast<std::size_t>(n), 0.0);
  std::vector<double> powers(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!use[i]) continue;
    const double w = weights.empty() ? 1.0 : weights[i];
    const double t = (x[i] - p.centre) / p.halfWidth;
    double power = 1;
    for (auto& v : powers) {
      v = power;
      power *= t;
    }
    for (std::size_t r = 0; r < powers.size(); ++r) {
      rhs[r] += w * powers[r] * y[i];
      for (std::size_t c = 0; c < powers.size(); ++c)
        normal[r * powers.size() + c] += w * powers[r] * powers[c];
    }
  }
  if (!InvertMatrix(normal, n)) return std::nullopt;
  p.coefficients.assign(static_cast<std::size_t>(n), 0.0);
  for (std::size_t r = 0; r < rhs.size(); ++r) {
    for (std::size_t c = 0; c < rhs.size(); ++c) p.coefficients[r] += normal[r * rhs.size() + c] * rhs[c];
  }
  if (covariance) *covariance = normal;
  return p;
}

Result<ContinuumError, Continuum> NormaliseContinuum(std::span<const double> wavelengths,
                                                     std::span<const double> fluxes,
                                                     const ContinuumOptions& options) {
  using R = Result<ContinuumError, Continuum>;
  if (wavelengths.size() != fluxes.size()) {
    return R::Refused(ContinuumError::SizeMismatch, "The spectrum needs one flux for each wavelength.");
  }
  for (std::size_t i = 0; i < wavelengths.size(); ++i) {
    if (!std::isfinite(wavelengths[i]) || !std::isfinite(fluxes[i])) {
      return R::Refused(ContinuumError::NotFinite, "The spectrum holds a value that is not a number.");
    }
  }
  if (options.order < 0 || options.order > 5) {
    return R::Refused(ContinuumError::BadOrder, "The continuum's order must be 0 to 5.");
  }
  const std::size_t size = wavelengths.size();
  const auto tooFew = [&] {
    return R::Refused(ContinuumError::TooFewPoints,
                      "Too few continuum points for a polynomial of that order.");
  };
  const auto enough = [&](const std::vector<bool>& use) {
    return static_cast<std::size_t>(std::count(use.begin(), use.end(), true)) >=
           static_cast<std::size_t>(options.order + 2);
  };

  std::vector<bool> use(size, options.ranges.empty());
  for (const auto& range : options.ranges) {
    for (std::size_t i = 0; i < size; ++i) {
      if (wavelengths[i] >= range.min && wavelengths[i] <= range.max) use[i] = true;
    }
  }
  if (!enough(use)) return tooFew();
  auto fit = FitPolynomial(wavelengths, fluxes, use, options.order);
  if (!fit) return tooFew();

  // Clip only when the points are not given: drop the samples far from the
  // fit (and their neighbours) until the set settles.
  for (int pass = 0; options.ranges.empty() && pass < options.maxPasses; ++pass) {
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) {
      if (!use[i]) continue;
      const double r = fluxes[i] - (*fit)(wavelengths[i]);
      sum += r * r;
      ++count;
    }
    const double sigma = std::sqrt(sum / static_cast<double>(count > 1 ? count - 1 : 1));
    std::vector<bool> next(size, true);
    const auto grow = static_cast<std::ptrdiff_t>(std::max(0, options.clipGrow));
    for (std::size_t i = 0; i < size; ++i) {
      if (std::abs(fluxes[i] - (*fit)(wavelengths[i])) <= options.clipSigma * sigma) continue;
      const auto at = static_cast<std::ptrdiff_t>(i);
      for (auto j = std::max<std::ptrdiff_t>(0, at - grow);
           j <= std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(size) - 1, at + grow); ++j) {
        next[static_cast<std::size_t>(j)] = false;
      }
    }
    if (next == use || !enough(next)) break;
    auto refit = FitPolynomial(wavelengths, fluxes, next, options.order);
    if (!refit) break;
    use = std::move(next);
    fit = std::move(refit);
  }

  R out;
  out.continuum.resize(size);
  out.normalised.resize(size);
  for (std::size_t i = 0; i < size; ++i) {
    const double c = (*fit)(wavelengths[i]);
    if (!(c > 0) || !std::isfinite(fluxes[i] / c)) {
      return R::Refused(ContinuumError::NotPositive,
                        "The continuum falls to zero or below, so the spectrum cannot be divided by it.");
    }
    out.continuum[i] = c;
    out.normalised[i] = fluxes[i] / c;
  }
  out.used = std::move(use);
  return out;
}

}  // namespace lxr4
