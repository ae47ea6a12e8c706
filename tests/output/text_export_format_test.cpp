#include "output/text_export_format.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

struct RowCase {
  int pixel;
  float value;
  const char* text;
};

TEST(TextExportRow, PixelTabValue) {
  const RowCase cases[] = {
      {1, 1234.0f, "1\t1234"},
      {768, 0.0f, "768\t0"},
      {42, -17.0f, "42\t-17"},
      {5, 1310720.0f, "5\t1310720"},
      // The value passes through single precision: 2^24 + 1 is not a single.
      {9, static_cast<float>(16777217), "9\t16777216"},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextExportRow(c.pixel, c.value), c.text);
  }
}

struct CalibratedRowCase {
  int pixel;
  float wavelength;
  float value;
  const char* text;
};

TEST(TextExportRow, PixelTabWavelengthTabValue) {
  const CalibratedRowCase cases[] = {
      {381, 5885.778f, 2345.0f, "381\t5885.78\t2345"},
      {300, 5460.753f, 0.0f, "300\t5460.75\t0"},
      {1, 999.5f, -3.0f, "1\t999.50\t-3"},
      {765, 8201.0f, 7.0f, "765\t8201.00\t7"},
      {2, 0.0f, 1.0f, "2\t0.00\t1"},
  };
  for (const CalibratedRowCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextExportRow(c.pixel, c.wavelength, c.value), c.text);
  }
}

TEST(TextExportFile, NothingLoadedIsQuoteBlankLineQuote) {
  EXPECT_EQ(TextExportFile(""), std::string("\"\r\n\r\n\"\r\n"));
}

TEST(TextExportFile, RowsBetweenQuoteLinesAndBeforeABlankLine) {
  EXPECT_EQ(TextExportFile("1\t5\r\n2\t6\r\n"), std::string("\"\r\n1\t5\r\n2\t6\r\n\r\n\"\r\n"));
}

struct PathCase {
  const char* source;
  const char* path;
};

TEST(TextExportPath, CutsTheFileNameAtItsFirstDot) {
  const PathCase cases[] = {
      {"C:\\images\\star.km1", "C:\\images\\star.txt"},
      {"samples/lamp.km1", "samples/lamp.txt"},
      {"star.km1", "star.txt"},
      {"run5.km1.km1", "run5.txt"},
      // Dots in folders never cut: the text file stays next to its image.
      {"C:\\data.old\\star.km1", "C:\\data.old\\star.txt"},
      {"/home/user/.cache/lamp.km1", "/home/user/.cache/lamp.txt"},
      {"./star.km1", "./star.txt"},
      {"../x.y\\a.b/star.km1", "../x.y\\a.b/star.txt"},
      // No dot in the file name: ".txt" is appended to the whole path.
      {"star", "star.txt"},
      {"/data.d/star", "/data.d/star.txt"},
      {"C:\\data.old\\", "C:\\data.old\\.txt"},
      // Nothing loaded: ".txt" in the current folder.
      {"", ".txt"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(TextExportPath(c.source), c.path);
  }
}

}  // namespace
}  // namespace lxr4
