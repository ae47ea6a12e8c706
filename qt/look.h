// The program's look: the classic desktop style and palette, and a small sans
// font sized in pixels, so that every caption fits its fixed-size control on
// any screen resolution.
#pragma once

class QFont;
class QString;

namespace lxr4 {

// Applies to the whole application; call once the QApplication exists.
void ApplyClassicLook();

// The font of the controls: a sans of 10 pixels, whose three lines fit the
// tallest wrapped captions.
[[nodiscard]] QFont ControlFont();
// The bold heading font: 16 pixels (12 points on a 96-dpi desktop), smaller
// where `caption` would not fit `width` pixels in the face found.
[[nodiscard]] QFont HeadingFont(const QString& caption, int width);

}  // namespace lxr4
