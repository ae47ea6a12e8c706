// Surface: a retained RGB drawing area (the main window's surface or the graph
// box). Both window implementations draw through it, so the scripted platform
// and the real window show the same colours at the same pixels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "state/window.h"

namespace lxr4 {

class Surface {
 public:
  Surface(int width, int height, Rgb background);

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] Rgb At(int x, int y) const;
  // Pixels as 0xffRRGGBB words, row by row (the layout of a 32-bit RGB image).
  [[nodiscard]] const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

  void Clear();
  // Coordinates are rounded to the nearest pixel (halves to even); what falls
  // outside the surface is not painted.
  void Paint(std::span<const PaintedPoint> points);
  // One pixel wide, both end points included.
  void Line(double x1, double y1, double x2, double y2, Rgb colour);

 private:
  void Set(long long x, long long y, Rgb colour);

  int width_, height_;
  Rgb background_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace lxr4
