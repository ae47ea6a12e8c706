// Paints a plot picture onto a surface of its size: the one painter both
// windows use for the Spectrum view, so they show the same pixels.
#pragma once

#include "base/plot_picture.h"
#include "platform/surface.h"

namespace lxr4 {

// `surface` is cleared to the picture's background first; it should have the picture's size.
void PaintPicture(const PlotPicture& picture, Surface& surface);

}  // namespace lxr4
