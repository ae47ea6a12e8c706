// A picture of a plot as the program draws it: filled rectangles, lines and
// texts on a background, in pixels from the top left. The program makes it
// (view/); each window paints it onto its own Surface with one painter
// (platform/plot_painter.h), so both show the same pixels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"

namespace lxr4 {

struct PlotRect {
  int left = 0, top = 0, width = 0, height = 0;  // filled
  Rgb colour;
};

struct PlotLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // one pixel wide, both ends included
  Rgb colour;
};

enum class TextAnchor : unsigned char { Left, Centre, Right };

// The painter's font, which the picture's layout counts on: every character
// advances kPlotCharWidth pixels and a text is kPlotTextHeight pixels high.
inline constexpr int kPlotCharWidth = 6;
inline constexpr int kPlotTextHeight = 10;

// Width in pixels of a UTF-8 text (one character per code point).
[[nodiscard]] inline int PlotTextWidth(std::string_view text) {
  int n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n * kPlotCharWidth;
}

struct PlotText {
  int x = 0, y = 0;  // the anchor point at the text's top
  std::string text;  // UTF-8; the painter's font has printable ASCII and the Angstrom sign
  Rgb colour;
  TextAnchor anchor = TextAnchor::Left;
};

// Where the data lie: x pixel = left + (value - xFrom) / (xTo - xFrom) * (right - left).
struct PlotArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  double xFrom = 0, xTo = 1;

  friend bool operator==(const PlotArea&, const PlotArea&) = default;
};

struct PlotPicture {
  int width = 0, height = 0;
  Rgb background = kWhite;
  // Painted in this order: rectangles, lines, texts, each list in its order.
  std::vector<PlotRect> rects;
  std::vector<PlotLine> lines;
  std::vector<PlotText> texts;
  PlotArea area;  // of the spectrum panel, for turning a click into a value
};

}  // namespace lxr4
