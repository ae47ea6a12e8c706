#include "platform/plot_painter.h"

#include <vector>

#include "platform/bitmap_font.h"

namespace lxr4 {

void PaintText(const PlotText& text, Surface& surface) {
  const std::vector<char32_t> codes = CodePoints(text.text);
  const int width = static_cast<int>(codes.size()) * kPlotCharWidth;
  int x = text.anchor == TextAnchor::Left    ? text.x
          : text.anchor == TextAnchor::Right ? text.x - width
                                             : text.x - width / 2;
  if (x >= surface.width() || x + width <= 0 || text.y >= surface.height() || text.y + kPlotTextHeight <= 0)
    return;
  for (const char32_t code : codes) {
    const GlyphRows& rows = Glyph(code);
    for (int r = 0; r < kGlyphRows; ++r) {
      // Each run of ink in a row as one fill.
      for (int c = 0; c < kGlyphWidth;) {
        if ((rows[static_cast<std::size_t>(r)] & (0x10 >> c)) == 0) {
          ++c;
          continue;
        }
        const int start = c;
        while (c < kGlyphWidth && (rows[static_cast<std::size_t>(r)] & (0x10 >> c)) != 0) ++c;
        surface.Fill(x + start, text.y + r, c - start, 1, text.colour);
      }
    }
    x += kPlotCharWidth;
  }
}

void PaintPicture(const PlotPicture& picture, Surface& surface) {
  surface.Clear(picture.background);
  for (const PlotRect& r : picture.rects) surface.Fill(r.left, r.top, r.width, r.height, r.colour);
  for (const PlotLine& l : picture.lines) surface.Line(l.x1, l.y1, l.x2, l.y2, l.colour);
  for (const PlotText& t : picture.texts) PaintText(t, surface);
}

}  // namespace lxr4
