// Text export rows and names at their edges. The golden cases text-* show whole
// files: rows of both kinds, the file with nothing loaded, and names cut at the
// first dot of the file name, also under a folder with a dot and without one.
#include "output/text_export_format.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(TextExportRow, PixelTabValue) {
  const struct {
    int pixel;
    float value;
    const char* text;
  } cases[] = {
      {42, -17.0f, "42\t-17"},
      {5, 1310720.0f, "5\t1310720"},
      // The value passes through single precision: 2^24 + 1 is not a single.
      {9, static_cast<float>(16777217), "9\t16777216"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextExportRow(c.pixel, c.value), c.text);
}

TEST(TextExportRow, PixelTabWavelengthTabValue) {
  const struct {
    int pixel;
    float wavelength;
    float value;
    const char* text;
  } cases[] = {
      {1, 999.5f, -3.0f, "1\t999.50\t-3"},
      {765, 8201.0f, 7.0f, "765\t8201.00\t7"},
      {2, 0.0f, 1.0f, "2\t0.00\t1"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextExportRow(c.pixel, c.wavelength, c.value), c.text);
}

TEST(TextExportPath, CutsTheFileNameAtItsFirstDot) {
  const struct {
    const char* source;
    const char* path;
  } cases[] = {
      {"C:\\images\\star.km1", "C:\\images\\star.txt"},
      // Dots in folders never cut, whichever the separator.
      {"C:\\data.old\\star.km1", "C:\\data.old\\star.txt"},
      {"/home/user/.cache/lamp.km1", "/home/user/.cache/lamp.txt"},
      {"./star.km1", "./star.txt"},
      {"../x.y\\a.b/star.km1", "../x.y\\a.b/star.txt"},
      // No dot in the file name: ".txt" is appended to the whole path.
      {"/data.d/star", "/data.d/star.txt"},
      {"C:\\data.old\\", "C:\\data.old\\.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextExportPath(c.source), c.path);
}

}  // namespace
}  // namespace lxr4
