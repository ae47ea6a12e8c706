// Gauss-Jordan inversion of small matrices.
#include "measure/linear_solve.h"

#include <cmath>
#include <utility>

namespace lxr4 {

bool InvertMatrix(std::vector<double>& a, int n) {
  const auto at = [&](int r, int c) -> double& { return a[static_cast<std::size_t>(r * n + c)]; };
  std::vector<double> inv(static_cast<std::size_t>(n * n), 0.0);
  const auto iv = [&](int r, int c) -> double& { return inv[static_cast<std::size_t>(r * n + c)]; };
  for (int i = 0; i < n; ++i) iv(i, i) = 1;
  double scale = 0;
  for (double v : a) scale = std::max(scale, std::abs(v));
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int r = col + 1; r < n; ++r) {
      if (std::abs(at(r, col)) > std::abs(at(pivot, col))) pivot = r;
    }
    if (std::abs(at(pivot, col)) <= 1e-14 * scale) return false;
    for (int c = 0; c < n; ++c) {
      std::swap(at(col, c), at(pivot, c));
      std::swap(iv(col, c), iv(pivot, c));
    }
    const double p = at(col, col);
    for (int c = 0; c < n; ++c) {
      at(col, c) /= p;
      iv(col, c) /= p;
    }
    for (int r = 0; r < n; ++r) {
      if (r == col) continue;
      const double f = at(r, col);
      for (int c = 0; c < n; ++c) {
        at(r, c) -= f * at(col, c);
        iv(r, c) -= f * iv(col, c);
      }
    }
  }
  a = std::move(inv);
  return true;
}

}  // namespace lxr4
