// Tick marks of a plot axis at "nice" values (1, 2 or 5 x 10^k apart) and
// their labels. Pure code; the labels never depend on the user's locale.
#pragma once

#include <string>
#include <vector>

namespace lxr4 {

struct AxisTicks {
  double step = 0;             // between neighbours; 0 when there are none
  std::vector<double> values;  // rising, inside [lo, hi]
};

// The finest nice step that divides [lo, hi] into at most `maxCount` steps
// (at least 1), and its multiples there (at most maxCount + 1 ticks). No ticks for a range that is
// empty (lo >= hi) or not finite.
[[nodiscard]] AxisTicks NiceTicks(double lo, double hi, int maxCount);

// A tick's label with the fewest decimals that tell ticks `step` apart
// ("0.5", "1200", "-0.02"); values of 1e6 and more, or ticks finer than 1e-4
// (and not zero), in a compact exponent form ("1.5e+06", "2e-05"). A value
// within a millionth of a step of zero is "0"; NaN and the infinities give
// "?" (they are never meant to reach a label).
[[nodiscard]] std::string TickLabel(double value, double step);

}  // namespace lxr4
