#include "platform/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lxr4 {

namespace {
std::uint32_t Pack(Rgb c) {
  return 0xff000000u | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | std::uint32_t{c.b};
}
// Far outside any surface, but small enough that the line loop stays bounded.
long long Rounded(double v) {
  if (!std::isfinite(v)) return -100000;
  const double r = std::nearbyint(v);
  if (r < -100000.0) return -100000;
  if (r > 100000.0) return 100000;
  return static_cast<long long>(r);
}
// Most coordinates are whole numbers already: no rounding to do.
inline long long ToPixel(double v) {
  if (v >= -100000.0 && v <= 100000.0) {
    const auto whole = static_cast<long long>(v);
    if (static_cast<double>(whole) == v) return whole;
  }
  return Rounded(v);
}
}  // namespace

Surface::Surface(int width, int height, Rgb background)
    : width_(width), height_(height), background_(static_cast<std::size_t>(width), Pack(background)),
      pixels_(std::make_unique_for_overwrite<std::uint32_t[]>(static_cast<std::size_t>(width) *
                                                               static_cast<std::size_t>(height))),
      drawn_(static_cast<std::size_t>(height), 0) {}

inline std::uint32_t* Surface::WritableRow(int y) const {
  std::uint32_t* row = pixels_.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
  if (drawn_[static_cast<std::size_t>(y)] == 0) {
    std::copy(background_.begin(), background_.end(), row);
    drawn_[static_cast<std::size_t>(y)] = 1;
  }
  return row;
}

const std::uint32_t* Surface::Row(int y) const {
  if (drawn_[static_cast<std::size_t>(y)] == 0) return background_.data();
  return pixels_.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

std::span<const std::uint32_t> Surface::Pixels() const {
  for (int y = 0; y < height_; ++y) WritableRow(y);
  return {pixels_.get(), static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)};
}

Rgb Surface::At(int x, int y) const {
  const std::uint32_t p = Row(y)[x];
  return Rgb{static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8),
             static_cast<std::uint8_t>(p)};
}

bool Surface::SameRows(int a, int b) const {
  if (drawn_[static_cast<std::size_t>(a)] == 0 && drawn_[static_cast<std::size_t>(b)] == 0) return true;
  return std::equal(Row(a), Row(a) + width_, Row(b));
}

void Surface::Clear() { std::fill(drawn_.begin(), drawn_.end(), 0); }

void Surface::Clear(Rgb background) {
  std::fill(background_.begin(), background_.end(), Pack(background));
  Clear();
}

inline void Surface::Set(long long x, long long y, Rgb colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  WritableRow(static_cast<int>(y))[x] = Pack(colour);
}

// A float below 2^22 in size rounds to the nearest whole number, halves to
// even, when 1.5 x 2^23 is added and taken away again (the sum keeps no bits
// for a fraction; the program never changes the rounding mode). Anything
// larger, infinite or NaN lies far outside the surface.
void Surface::Paint(std::span<const PaintedPoint> points) {
  constexpr float kShift = 0x1.8p23f;
  for (const PaintedPoint& p : points) {
    if (!(std::fabs(p.x) < 0x1p22f && std::fabs(p.y) < 0x1p22f)) continue;
    const auto x = static_cast<int>((p.x + kShift) - kShift);
    const auto y = static_cast<int>((p.y + kShift) - kShift);
    if (x >= 0 && y >= 0 && x < width_ && y < height_) WritableRow(y)[x] = Pack(p.colour);
  }
}

void Surface::Fill(int left, int top, int width, int height, Rgb colour) {
  const long long x0 = std::max<long long>(left, 0), y0 = std::max<long long>(top, 0);
  const long long x1 = std::min<long long>(static_cast<long long>(left) + width, width_);
  const long long y1 = std::min<long long>(static_cast<long long>(top) + height, height_);
  for (long long y = y0; y < y1; ++y) {
    std::uint32_t* row = WritableRow(static_cast<int>(y));
    std::fill(row + x0, row + std::max(x0, x1), Pack(colour));
  }
}

void Surface::Line(double x1, double y1, double x2, double y2, Rgb colour) {
  long long x = ToPixel(x1), y = ToPixel(y1);
  const long long xEnd = ToPixel(x2), yEnd = ToPixel(y2);
  const long long dx = std::llabs(xEnd - x), dy = -std::llabs(yEnd - y);
  const long long sx = x < xEnd ? 1 : -1, sy = y < yEnd ? 1 : -1;
  long long err = dx + dy;
  for (;;) {
    Set(x, y, colour);
    if (x == xEnd && y == yEnd) break;
    const long long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace lxr4
