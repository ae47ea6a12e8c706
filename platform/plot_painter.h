// Paints a plot picture onto a surface of its size: the one painter both
// windows use for the Spectrum view, so they show the same pixels. Texts are
// drawn in the program's own bitmap font (platform/bitmap_font.h), a glyph per
// code point, kPlotCharWidth pixels apart, from the text's top.
#pragma once

#include "base/plot_picture.h"
#include "platform/surface.h"

namespace lxr4 {

// `surface` is cleared to the picture's background first (which becomes its own); it should have the
// picture's size (what falls outside it is not painted).
void PaintPicture(const PlotPicture& picture, Surface& surface);

// One text at its anchor, as PaintPicture draws each of the picture's.
void PaintText(const PlotText& text, Surface& surface);

}  // namespace lxr4
