// Polynomial fits by Householder QR on centred and scaled columns, its dot
// products summed with compensation: no normal equations, so a quartic over
// 768 columns loses no digits.
#include <cmath>

#include "calibration/compensated_sum.h"
#include "calibration/fit_loop.h"

namespace lxr4 {

namespace {

// Least squares a * x = b for an n x m matrix (column-major, n >= m) by
// Householder QR; false when a column is dependent on the others.
bool SolveLeastSquares(std::vector<double>& a, std::vector<double>& b, int n, int m, std::vector<double>& x) {
  const auto at = [&](int row, int col) -> double& {
    return a[static_cast<std::size_t>(col) * static_cast<std::size_t>(n) + static_cast<std::size_t>(row)];
  };
  // Column j times column k, from row `from` down.
  int from = 0;
  const auto columnDot = [&](int j, int k) {
    CompensatedSum sum;
    for (int i = from; i < n; ++i) sum.Add(at(i, j) * at(i, k));
    return sum.Value();
  };
  double largest = 0;
  for (int j = 0; j < m; ++j) {
    from = j;
    const double norm = std::sqrt(columnDot(j, j));
    largest = std::max(largest, norm);
    if (!(norm > 1e-10 * largest)) return false;
    const double alpha = at(j, j) > 0 ? -norm : norm;
    // v = column j below the diagonal minus alpha e_j; H = I - 2 v v^T / v^T v.
    at(j, j) -= alpha;
    const double vv = columnDot(j, j);
    for (int k = j + 1; k < m; ++k) {
      const double dot = columnDot(j, k);
      for (int i = j; i < n; ++i) at(i, k) -= 2 * dot / vv * at(i, j);
    }
    CompensatedSum byB;
    for (int i = j; i < n; ++i) byB.Add(at(i, j) * b[static_cast<std::size_t>(i)]);
    const double dot = byB.Value();
    for (int i = j; i < n; ++i) b[static_cast<std::size_t>(i)] -= 2 * dot / vv * at(i, j);
    at(j, j) = alpha;  // R's diagonal
  }
  x.assign(static_cast<std::size_t>(m), 0.0);
  for (int j = m - 1; j >= 0; --j) {
    double s = b[static_cast<std::size_t>(j)];
    for (int k = j + 1; k < m; ++k) s -= at(j, k) * x[static_cast<std::size_t>(k)];
    x[static_cast<std::size_t>(j)] = s / at(j, j);
  }
  return true;
}

FitError SolvePolynomial(const LineSet& lines, const std::vector<bool>& in, int order,
                         FittedCalibration& fit) {
  const int m = order + 1;
  if (DistinctColumns(lines, in) < m) return FitError::Singular;
  double lo = 0, hi = 0;
  CompensatedSum sum;
  int n = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!in[i]) continue;
    const double c = lines[i].column;
    lo = n == 0 ? c : std::min(lo, c);
    hi = n == 0 ? c : std::max(hi, c);
    sum.Add(c);
    ++n;
  }
  PolynomialModel p;
  p.order = order;
  p.centre = sum.Value() / n;
  p.scale = std::max(hi - p.centre, p.centre - lo);
  std::vector<double> a(static_cast<std::size_t>(n * m)), b(static_cast<std::size_t>(n)), x;
  int row = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!in[i]) continue;
    const double t = (lines[i].column - p.centre) / p.scale;
    double power = 1;
    for (int k = 0; k < m; ++k, power *= t) a[static_cast<std::size_t>(k * n + row)] = power;
    b[static_cast<std::size_t>(row)] = lines[i].wavelength;
    ++row;
  }
  if (!SolveLeastSquares(a, b, n, m, x)) return FitError::Singular;
  for (int k = 0; k < m; ++k) {
    if (!std::isfinite(x[static_cast<std::size_t>(k)])) return FitError::NotFinite;
    p.coefficients[static_cast<std::size_t>(k)] = x[static_cast<std::size_t>(k)];
  }
  fit.kind = FitKind::Polynomial;
  fit.polynomial = p;
  return FitError::None;
}

}  // namespace

FitResult FitPolynomial(const LineSet& lines, int order, const FitOptions& options) {
  if (order < 1 || order > kMaxPolynomialOrder) {
    FitResult r;
    r.error = FitError::BadOrder;
    r.message = FitMessage(FitError::BadOrder);
    return r;
  }
  const LineSolver solve = [order](const LineSet& l, const std::vector<bool>& in, FittedCalibration& fit) {
    return SolvePolynomial(l, in, order, fit);
  };
  // One line more than its coefficients: through exactly as many, any
  // polynomial fits with an rms of 0 and says nothing of its error.
  return RunFit(lines, order + 1, options, solve,
                "A polynomial of order " + std::to_string(order) + " needs at least " +
                    std::to_string(order + 2) + " used lines - calibration unchanged!",
                order + 2);
}

}  // namespace lxr4
