// Medians, robust sigma, polynomial least squares and the Gaussian fit.
#include "extract/fit_tools.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "base/linear_solve.h"

namespace lxr4 {

double MedianInPlace(std::span<double> values) {
  if (values.empty()) return 0;
  const auto n = values.size();
  const auto mid = values.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(values.begin(), mid, values.end());
  if (n % 2 == 1) return *mid;
  const double below = *std::max_element(values.begin(), mid);
  return 0.5 * (below + *mid);
}

double RobustSigma(std::span<const double> values) {
  if (values.size() < 2) return 0;
  std::vector<double> v(values.begin(), values.end());
  const double m = MedianInPlace(v);
  for (double& x : v) x = std::abs(x - m);
  return 1.4826 * MedianInPlace(v);
}

std::optional<std::vector<double>> FitPolynomial(std::span<const double> x, std::span<const double> y,
                                                 std::span<const double> weight, int order) {
  const int n = order + 1;
  if (order < 0 || x.size() != y.size() || x.size() != weight.size()) return std::nullopt;
  std::vector<double> a(static_cast<std::size_t>(n * n), 0.0), b(static_cast<std::size_t>(n), 0.0);
  int used = 0;
  std::vector<double> powers(static_cast<std::size_t>(2 * n - 1));
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (!(weight[i] > 0)) continue;
    ++used;
    double p = 1;
    for (double& power : powers) {
      power = p;
      p *= x[i];
    }
    for (int r = 0; r < n; ++r) {
      b[static_cast<std::size_t>(r)] += weight[i] * powers[static_cast<std::size_t>(r)] * y[i];
      for (int c = 0; c < n; ++c) {
        a[static_cast<std::size_t>(r * n + c)] += weight[i] * powers[static_cast<std::size_t>(r + c)];
      }
    }
  }
  if (used <= order || !SolveLinear(a, b, n)) return std::nullopt;
  return b;
}

double EvaluatePolynomial(std::span<const double> c, double x) {
  double v = 0;
  for (auto k = c.size(); k-- > 0;) v = v * x + c[k];
  return v;
}

std::optional<GaussianFit> FitGaussian(std::span<const double> y, GaussianFit start) {
  const auto n = static_cast<int>(y.size());
  if (n < 5 || !(start.sigma > 0)) return std::nullopt;
  std::array<double, 4> p{start.amplitude, start.centre, start.sigma, start.background};
  const auto cost = [&](const std::array<double, 4>& q) {
    double s = 0;
    for (int i = 0; i < n; ++i) {
      const double u = (i - q[1]) / q[2];
      const double r = y[static_cast<std::size_t>(i)] - (q[0] * std::exp(-0.5 * u * u) + q[3]);
      s += r * r;
    }
    return s;
  };
  double lambda = 1e-3;
  double current = cost(p);
  bool converged = false;
  for (int iter = 0; iter < 100 && !converged; ++iter) {
    std::vector<double> a(16, 0.0), b(4, 0.0);
    for (int i = 0; i < n; ++i) {
      const double u = (i - p[1]) / p[2];
      const double e = std::exp(-0.5 * u * u);
      const std::array<double, 4> d{e, p[0] * e * u / p[2], p[0] * e * u * u / p[2], 1.0};
      const double r = y[static_cast<std::size_t>(i)] - (p[0] * e + p[3]);
      for (std::size_t j = 0; j < 4; ++j) {
        b[j] += d[j] * r;
        for (std::size_t k = 0; k < 4; ++k) a[j * 4 + k] += d[j] * d[k];
      }
    }
    for (std::size_t j = 0; j < 4; ++j) a[j * 5] *= 1 + lambda;
    if (!SolveLinear(a, b, 4)) {
      lambda *= 10;
      if (lambda > 1e8) break;
      continue;
    }
    std::array<double, 4> trial{p[0] + b[0], p[1] + b[1], std::abs(p[2] + b[2]), p[3] + b[3]};
    const double next = trial[2] > 0 ? cost(trial) : current * 2 + 1;
    if (next <= current) {
      converged = std::abs(b[1]) < 1e-6 && std::abs(b[2]) < 1e-6 * p[2] + 1e-9;
      p = trial;
      current = next;
      lambda = std::max(lambda / 10, 1e-9);
    } else {
      lambda *= 10;
      converged = lambda > 1e8;  // no step lowers the cost: at the minimum
    }
  }
  const GaussianFit fit{p[0], p[1], p[2], p[3]};
  if (!converged || !(fit.amplitude > 0) || !(fit.sigma >= 0.3) || fit.sigma > n / 2.0 || fit.centre < 0 ||
      fit.centre > n - 1 || !std::isfinite(current)) {
    return std::nullopt;
  }
  return fit;
}

}  // namespace lxr4
