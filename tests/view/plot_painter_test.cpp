// The painter: a text and a line of a picture land on the expected pixels,
// in the program's own font.
#include "platform/plot_painter.h"

#include <gtest/gtest.h>

#include <bitset>
#include <set>

#include "platform/bitmap_font.h"

namespace lxr4 {
namespace {

PlotPicture Blank(int width, int height) {
  PlotPicture p;
  p.width = width;
  p.height = height;
  return p;
}

int Count(const Surface& s, Rgb colour) {
  int n = 0;
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) n += s.At(x, y) == colour;
  return n;
}

int Ink(const GlyphRows& rows) {
  int n = 0;
  for (const std::uint8_t r : rows) n += static_cast<int>(std::bitset<8>(r).count());
  return n;
}

TEST(PlotPainter, TextAtEachAnchor) {
  const struct {
    TextAnchor anchor;
    int x, left;  // the anchor and where the text's first cell starts
  } cases[] = {{TextAnchor::Left, 20, 20}, {TextAnchor::Centre, 20, 14}, {TextAnchor::Right, 20, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.anchor));
    PlotPicture picture = Blank(40, 20);
    picture.texts.push_back({c.x, 5, "1A", kRed, c.anchor});
    Surface s(40, 20, kWhite);
    PaintPicture(picture, s);
    EXPECT_EQ(Count(s, kRed), Ink(Glyph('1')) + Ink(Glyph('A')));
    EXPECT_EQ(s.At(c.left + 2, 5), kRed);  // the top of the "1"
    EXPECT_EQ(s.At(c.left + 1, 5), kWhite);
    for (int x = c.left + 1; x <= c.left + 3; ++x) EXPECT_EQ(s.At(x, 11), kRed);  // its foot
    EXPECT_EQ(s.At(c.left + 6, 11), kRed);  // the "A"'s left leg, a cell on
  }
}

TEST(PlotPainter, LineRectAndBackground) {
  PlotPicture picture = Blank(30, 30);
  picture.background = kWindowGrey;
  picture.rects.push_back({2, 2, 3, 2, kGreen});
  picture.lines.push_back({3, 20, 25, 20, kRed});
  Surface s(30, 30, kWhite);
  PaintPicture(picture, s);
  EXPECT_EQ(s.At(0, 0), kWindowGrey);
  EXPECT_EQ(Count(s, kGreen), 6);
  EXPECT_EQ(s.At(4, 3), kGreen);
  EXPECT_EQ(Count(s, kRed), 23);
  EXPECT_EQ(s.At(3, 20), kRed);
  EXPECT_EQ(s.At(25, 20), kRed);
}

TEST(PlotPainter, AngstromSignIsOneGlyph) {
  PlotPicture picture = Blank(20, 12);
  picture.texts.push_back({0, 0, "\xC3\x85", kRed, TextAnchor::Left});
  Surface s(20, 12, kWhite);
  PaintPicture(picture, s);
  EXPECT_EQ(Count(s, kRed), Ink(Glyph(0xC5)));
  EXPECT_EQ(s.At(2, 0), kRed);  // the ring's top
  EXPECT_EQ(s.At(6, 0), kWhite);
}

TEST(PlotPainter, BrokenUtf8AndTextsOffTheSurface) {
  PlotPicture picture = Blank(20, 12);
  picture.texts.push_back({0, 0, "\xC3", kRed, TextAnchor::Left});  // cut short: the hollow box
  picture.texts.push_back({-500, -500, "far", kRed, TextAnchor::Left});
  picture.texts.push_back({15, 8, "edge", kRed, TextAnchor::Left});
  Surface s(20, 12, kWhite);
  PaintPicture(picture, s);
  EXPECT_EQ(s.At(0, 0), kRed);
  EXPECT_EQ(CodePoints("a\xC3\x85z").size(), 3U);
}

// Every printable character has ink of its own: no glyph left blank or
// drawn twice.
TEST(BitmapFont, EveryPrintableGlyphIsDistinct) {
  std::set<GlyphRows> seen;
  for (char32_t c = 33; c <= 126; ++c) {
    SCOPED_TRACE(static_cast<char>(c));
    EXPECT_GT(Ink(Glyph(c)), 0);
    EXPECT_TRUE(seen.insert(Glyph(c)).second);
  }
  EXPECT_TRUE(seen.insert(Glyph(0xC5)).second);
  EXPECT_EQ(Ink(Glyph(' ')), 0);
}

}  // namespace
}  // namespace lxr4
