// Surface: a retained RGB drawing area (the main window's surface or the graph
// box). Both window implementations draw through it, so the scripted platform
// and the real window show the same colours at the same pixels.
#pragma once

#include <cstdint>
#include <memory>
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
  [[nodiscard]] std::span<const std::uint32_t> Pixels() const;
  // Row y's pixels (width() words).
  [[nodiscard]] const std::uint32_t* Row(int y) const;
  // Whether rows a and b show the same pixels.
  [[nodiscard]] bool SameRows(int a, int b) const;

  void Clear();
  // Clears to a new background colour.
  void Clear(Rgb background);
  // Coordinates are rounded to the nearest pixel (halves to even); what falls
  // outside the surface is not painted.
  void Paint(std::span<const PaintedPoint> points);
  // A filled rectangle; what falls outside the surface is not painted.
  void Fill(int left, int top, int width, int height, Rgb colour);
  // One pixel wide, both end points included.
  void Line(double x1, double y1, double x2, double y2, Rgb colour);

 private:
  std::uint32_t* WritableRow(int y) const;
  void Set(long long x, long long y, Rgb colour);

  int width_, height_;
  // A row takes its pixels, a copy of the background row, when first drawn
  // on: most of a window is never drawn on, and filling fresh memory costs
  // more than all the drawing. (Pixels() fills every row, hence mutable.)
  std::vector<std::uint32_t> background_;
  std::unique_ptr<std::uint32_t[]> pixels_;
  mutable std::vector<std::uint8_t> drawn_;  // 1 for a row with its own pixels
};

}  // namespace lxr4
