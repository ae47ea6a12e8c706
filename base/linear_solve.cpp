// Small dense systems: solved, and inverted by Gauss-Jordan elimination.
#include "base/linear_solve.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lxr4 {

bool SolveLinear(std::vector<double>& a, std::vector<double>& b, int n) {
  const auto at = [&](int r, int c) -> double& { return a[static_cast<std::size_t>(r * n + c)]; };
  double scale = 0;
  for (double v : a) scale = std::max(scale, std::abs(v));
  if (!(scale > 0) || !std::isfinite(scale)) return false;
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int r = col + 1; r < n; ++r) {
      if (std::abs(at(r, col)) > std::abs(at(pivot, col))) pivot = r;
    }
    if (std::abs(at(pivot, col)) <= 1e-13 * scale) return false;
    if (pivot != col) {
      for (int c = 0; c < n; ++c) std::swap(at(col, c), at(pivot, c));
      std::swap(b[static_cast<std::size_t>(col)], b[static_cast<std::size_t>(pivot)]);
    }
    for (int r = 0; r < n; ++r) {
      if (r == col) continue;
      const double f = at(r, col) / at(col, col);
      if (f == 0) continue;
      for (int c = col; c < n; ++c) at(r, c) -= f * at(col, c);
      b[static_cast<std::size_t>(r)] -= f * b[static_cast<std::size_t>(col)];
    }
  }
  for (int r = 0; r < n; ++r) b[static_cast<std::size_t>(r)] /= at(r, r);
  return std::all_of(b.begin(), b.end(), [](double v) { return std::isfinite(v); });
}

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
