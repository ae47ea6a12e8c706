#include "qt/placement.h"

#include <algorithm>

namespace lxr4 {

namespace {
constexpr int kGap = 8;  // between the two frames

// `start` moved so that [start, start + length) lies within [low, high], the
// start kept when it cannot.
int Within(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }
}  // namespace

QRect PlaceBeside(const QRect& main, const QSize& wanted, const QSize& least, const QRect& screen) {
  const int screenRight = screen.x() + screen.width(), screenBottom = screen.y() + screen.height();
  const int mainRight = main.x() + main.width(), mainBottom = main.y() + main.height();
  const int height = std::min(wanted.height(), screen.height());
  const int width = std::min(wanted.width(), screen.width());

  const int right = screenRight - mainRight - kGap, left = main.x() - screen.x() - kGap;
  if (std::max(right, left) >= least.width()) {
    const int w = std::min(wanted.width(), std::max(right, left));
    const int x = right >= left ? mainRight + kGap : main.x() - kGap - w;
    return {x, Within(main.y(), height, screen.y(), screenBottom), w, height};
  }
  const int below = screenBottom - mainBottom - kGap, above = main.y() - screen.y() - kGap;
  if (std::max(below, above) >= least.height()) {
    const int h = std::min(wanted.height(), std::max(below, above));
    const int y = below >= above ? mainBottom + kGap : main.y() - kGap - h;
    return {Within(main.x(), width, screen.x(), screenRight), y, width, h};
  }
  return {screenRight - width, Within(main.y(), height, screen.y(), screenBottom), width, height};
}

}  // namespace lxr4
