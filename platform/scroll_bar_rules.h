// The scroll bar rules both windows follow (docs/design.md): the scripted
// window applies them to its model, the Qt window to its widgets, so the two
// settle every value the same way.
#pragma once

#include <algorithm>

namespace lxr4 {

struct BarRange {
  int minimum = 0, maximum = 0;
};

// The value a bar takes when set, dragged or stepped to `value`: within its range.
[[nodiscard]] constexpr int SettledValue(const BarRange& range, int value) {
  return std::clamp(value, range.minimum, std::max(range.minimum, range.maximum));
}

// The range after a new maximum: a maximum set below the minimum takes the
// minimum down with it. The value then settles within it, which is a change
// when it moves.
[[nodiscard]] constexpr BarRange WithMaximum(const BarRange& range, int maximum) {
  return BarRange{std::min(range.minimum, maximum), maximum};
}

}  // namespace lxr4
