// The painter's own bitmap font: printable ASCII (32..126) and the Angstrom
// sign, each glyph 5 pixels wide and up to 9 rows high (7 above the baseline,
// 2 for descenders) in a cell of kPlotCharWidth x kPlotTextHeight
// (base/plot_picture.h). The glyphs were drawn for this program.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lxr4 {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphRows = 9;

// A glyph's rows from the top; bit 4 is the leftmost pixel.
using GlyphRows = std::array<std::uint8_t, kGlyphRows>;

// The glyph of a code point; a hollow box for one the font lacks.
[[nodiscard]] const GlyphRows& Glyph(char32_t code);

// The code points of a UTF-8 text; a byte that starts no valid sequence
// stands for itself as U+FFFD (drawn as the hollow box).
[[nodiscard]] std::vector<char32_t> CodePoints(std::string_view utf8);

}  // namespace lxr4
