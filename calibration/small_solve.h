// A small dense linear system solved in place, for the few-parameter fits of
// the arc search (a Gaussian's four, a polynomial's up to five).
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

namespace lxr4 {

// Solves a * x = b (n x n, n <= N) by Gaussian elimination with partial
// pivoting; false, leaving x unspecified, when a pivot vanishes or the
// answer is not finite.
template <std::size_t N>
[[nodiscard]] bool SolveSmallSystem(std::array<std::array<double, N + 1>, N> m, std::size_t n,
                                    std::array<double, N>& x) {
  // m holds a with b as its last used column (index n).
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t pivot = i;
    for (std::size_t k = i + 1; k < n; ++k)
      if (std::fabs(m[k][i]) > std::fabs(m[pivot][i])) pivot = k;
    if (!(std::fabs(m[pivot][i]) > 1e-300)) return false;
    std::swap(m[i], m[pivot]);
    for (std::size_t k = i + 1; k < n; ++k) {
      const double f = m[k][i] / m[i][i];
      for (std::size_t j = i; j <= n; ++j) m[k][j] -= f * m[i][j];
    }
  }
  for (std::size_t i = n; i-- > 0;) {
    double v = m[i][n];
    for (std::size_t j = i + 1; j < n; ++j) v -= m[i][j] * x[j];
    x[i] = v / m[i][i];
    if (!std::isfinite(x[i])) return false;
  }
  return true;
}

}  // namespace lxr4
