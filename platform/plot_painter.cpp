#include "platform/plot_painter.h"

namespace lxr4 {

void PaintPicture(const PlotPicture& picture, Surface& surface) {
  surface.Clear();
  for (const PlotRect& r : picture.rects)
    for (int y = r.top; y < r.top + r.height; ++y) surface.Line(r.left, y, r.left + r.width - 1, y, r.colour);
  for (const PlotLine& l : picture.lines) surface.Line(l.x1, l.y1, l.x2, l.y2, l.colour);
}

}  // namespace lxr4
