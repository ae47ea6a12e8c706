// Neumaier's compensated sum: the rounding error of each addition is carried
// apart and added at the end, so a long sum of terms of mixed sizes keeps the
// digits of double precision on every machine (no extended precision needed).
#pragma once

#include <cmath>

namespace lxr4 {

class CompensatedSum {
 public:
  void Add(double term) {
    const double total = sum_ + term;
    carry_ += std::fabs(sum_) >= std::fabs(term) ? (sum_ - total) + term : (term - total) + sum_;
    sum_ = total;
  }
  // The sum; an infinite or NaN term makes it NaN or infinite, never finite.
  [[nodiscard]] double Value() const { return std::isfinite(sum_) ? sum_ + carry_ : sum_; }

 private:
  double sum_ = 0, carry_ = 0;
};

}  // namespace lxr4
