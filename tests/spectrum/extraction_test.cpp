// The extraction's arithmetic at its edges. The golden cases extract-* run
// every combination of the options on a hand-made image (hot pixels in the
// edge rows and columns replaced, a sky brighter than the band, the plain sums
// of the full box) and on both samples.
#include "spectrum/extraction.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace lxr4 {
namespace {

PixelGrid Filled(std::int16_t value) {
  PixelGrid grid;
  grid.cells.fill(value);
  return grid;
}

// --- MedianOfFour: the mean of the middle two, truncated toward zero

TEST(MedianOfFour, MiddleTwoAtTheExtremesAndTies) {
  const struct {
    std::int16_t a, b, c, d, median;
  } cases[] = {
      {9, 1, 2, 0, 1},                      // (1 + 2) / 2
      {-7, -1, -2, 9, -1},                  // (-2 - 1) / 2 = -1.5 truncates to -1
      {1, 9, 1, 9, 5},                      // ties
      {32767, 32767, 32767, 32767, 32767},  // the sum passes 16 bits
      {-32768, -32768, -32768, -32768, -32768},
      {32767, -32768, 32767, -32768, 0},  // -0.5 truncates to 0
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MedianOfFour(c.a, c.b, c.c, c.d), c.median) << c.a << "," << c.b << "," << c.c << "," << c.d;
  }
}

// --- CleanRow: the cross-shaped median

// Column `column` of row `row` as the extraction sums it with the median on.
std::int16_t Cleaned(const PixelGrid& grid, int width, int column, int row) {
  std::array<std::int16_t, kGridColumns> cleaned{};
  CleanRow(grid, width, row, true, cleaned);
  return cleaned[static_cast<std::size_t>(column - 1)];
}

TEST(CleanRow, EdgeRowsUseThreeNeighboursAndThePixelItself) {
  const struct {
    const char* name;
    int row, inner;  // the edge row and its one vertical neighbour
    std::int16_t left, right, below, own, cleaned;
  } cases[] = {
      // equal to the truncated mean (0 + 0 + 30) / 3 = 10: kept, though the median would be 5
      {"row 1 kept", 1, 2, 0, 0, 30, 10, 10},
      {"row 20 kept", 20, 19, 0, 0, 30, 10, 10},
      // the mean truncates toward zero: (-1 - 1 - 2) / 3 = -1, so -1 is kept
      {"row 1 negative mean", 1, 2, -1, -1, -2, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PixelGrid grid;
    grid.at(4, c.row) = c.left;
    grid.at(6, c.row) = c.right;
    grid.at(5, c.inner) = c.below;
    grid.at(5, c.row) = c.own;
    EXPECT_EQ(Cleaned(grid, 10, 5, c.row), c.cleaned);
  }
}

TEST(CleanRow, ReadsTheGridAsLoadedNotTheRowsAlreadyCleaned) {
  PixelGrid grid;
  grid.at(5, 2) = 1000;  // hot: its neighbours 0, 0, 0, 7 replace it by 0
  grid.at(5, 3) = 7;
  grid.at(6, 3) = 1000;
  grid.at(5, 4) = 1000;
  // Row 3's neighbours as loaded are 0, 1000, 1000 (row 2) and 1000: median 1000.
  // Had the cleaned row 2 (0) been read, the median would be 500.
  EXPECT_EQ(Cleaned(grid, 10, 5, 2), 0);
  EXPECT_EQ(Cleaned(grid, 10, 5, 3), 1000);
}

// --- ColumnValue: scaling and the airglow filter

TEST(ColumnValue, ScalesToTwentyRowsAndSubtractsTheSky) {
  const struct {
    const char* name;
    std::int32_t inside, outside;
    int height;
    bool filter;
    std::int32_t value;
  } cases[] = {
      {"140 / 3 = 46.67 rounds to 47", 7, 0, 3, false, 47},
      {"twice the inside sum for 10 rows", 1000, 555, 10, false, 2000},
      {"all-100 pixels, rows 5..14, filtered", 1000, 1000, 10, true, 0},
      {"half rounds to even below", 1, 0, 8, false, 2},           // 2.5
      {"half rounds to even above", 3, 0, 8, false, 8},           // 7.5
      {"negative half rounds to even", 0, 2, 8, true, -2},        // 16 div 12 = 1; -20 / 8 = -2.5
      {"sky division truncates (positive)", 10, 7, 8, true, 15},  // 56 div 12 = 4
      {"sky division truncates (negative)", 0, -7, 8, true, 10},  // -56 div 12 = -4, not -5
      {"largest filtered value fits 32 bits", 19 * 32767, -32768, 19, true, 1310700},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ColumnValue(c.inside, c.outside, c.height, c.filter), c.value) << c.name;
}

// --- SmoothSpectrum

// `values` from column 1 on, smoothed over their width.
Spectrum Smoothed(const std::vector<std::int32_t>& values) {
  Spectrum s;
  for (std::size_t k = 0; k < values.size(); ++k) s[static_cast<int>(k) + 1] = values[k];
  SmoothSpectrum(s, static_cast<int>(values.size()));
  return s;
}

TEST(SmoothSpectrum, TruncatesWeightedSumsTowardZero) {
  // column 3: 10 x (-2) + 5 x (-1) = -25 -> -1 (not -2);
  // column 4: 5 x (-2) + 10 x (-1) = -20 -> 0
  const Spectrum down = Smoothed({0, 0, -2, -1, 0, 0});
  EXPECT_EQ(down[3], -1);
  EXPECT_EQ(down[4], 0);
  EXPECT_EQ(Smoothed({0, 0, 4, 1, 1})[3], 1);  // 40 + 5 + 2 = 47 -> 1
}

TEST(SmoothSpectrum, WidthFiveChangesColumnThreeOnlyAndNarrowerNothing) {
  for (int width = 1; width <= 6; ++width) {
    SCOPED_TRACE(width);
    Spectrum s;
    for (int k = 1; k <= kGridColumns; ++k) s[k] = (k % 2 == 0) ? 2400 : 0;
    const Spectrum before = s;
    SmoothSpectrum(s, width);
    for (int k = 1; k <= kGridColumns; ++k) {
      const bool smoothed = k >= 3 && k <= width - 2;
      if (!smoothed) {
        EXPECT_EQ(s[k], before[k]) << "column " << k;
      }
    }
    if (width == 5) {
      EXPECT_EQ(s[3], (5 * 2400 + 5 * 2400) / 24);
    }
  }
}

// --- ExtractObject and ExtractCal

// The golden cases' first and last columns hold no hot pixels.
TEST(ExtractObject, MedianLeavesTheEndColumnsOfNarrowImages) {
  // A hot pixel in column 2: it is an inner column only from width 3 on.
  PixelGrid grid = Filled(10);
  grid.at(2, 7) = 20000;
  for (int width = 1; width <= 5; ++width) {
    SCOPED_TRACE(width);
    Spectrum current, copy;
    (void)ExtractObject(grid, width, {1, 20}, {.median = true}, current, copy);
    EXPECT_EQ(current[1], 200);
    if (width == 2) {
      EXPECT_EQ(current[2], 19 * 10 + 20000);
    } else if (width >= 3) {
      EXPECT_EQ(current[2], 200);
    }
  }
}

TEST(ExtractObject, OutOfRangeWidthsAndBoxesStayInsideTheGrid) {
  const PixelGrid grid = Filled(1);
  Spectrum current, copy;
  EXPECT_EQ(ExtractObject(grid, 800, {1, 20}, {.median = true}, current, copy).length, 768);
  EXPECT_EQ(ExtractObject(grid, -4, {1, 20}, {}, current, copy).length, 0);
  (void)ExtractObject(grid, 3, {15, 3}, {.filter = true}, current, copy);
  EXPECT_EQ(current[1], 0);  // narrowed to row 15 alone: S 1 less the sky 19 x 1 div 19
  (void)ExtractCal(grid, 3, {-2, 40}, false, current, copy);
  EXPECT_EQ(current[1], 20);
}

// A frame's swath at the detector's own pixels: 4 rows of 6 pixels, row r
// holding r at every pixel, and rows 2 and 3 a line of 100 on top at pixel 3.
TEST(ExtractNative, SumsTheCropRowsAndScalesTheObjectAsTheOverview) {
  std::vector<float> swath;
  for (int r = 1; r <= 4; ++r)
    for (int p = 1; p <= 6; ++p) swath.push_back(static_cast<float>(r + (p == 3 && (r == 2 || r == 3) ? 100 : 0)));
  const auto at = [](const std::vector<double>& v, int p) { return v[static_cast<std::size_t>(p - 1)]; };
  const std::vector<double> lamp = ExtractNative(swath, 4, 6, {2, 3}, {});
  ASSERT_EQ(lamp.size(), 6u);
  EXPECT_EQ(at(lamp, 1), 5);    // rows 2 and 3
  EXPECT_EQ(at(lamp, 3), 205);
  // The object scaled to all four rows; the sky of rows 1 and 4 (2.5 a row) filtered out first.
  EXPECT_EQ(at(ExtractNative(swath, 4, 6, {2, 3}, {.object = true}), 1), 10);
  EXPECT_EQ(at(ExtractNative(swath, 4, 6, {2, 3}, {.object = true, .filter = true}), 1), 0);
  EXPECT_EQ(at(ExtractNative(swath, 4, 6, {2, 3}, {.object = true, .filter = true}), 3), 400);
  // Smoothing: the overview's weights, unrounded; the two pixels at each end stay.
  const std::vector<double> smooth = ExtractNative(swath, 4, 6, {1, 4}, {.smoothing = true});
  EXPECT_DOUBLE_EQ(at(smooth, 3), 10 + 200.0 * 10 / 24);
  EXPECT_DOUBLE_EQ(at(smooth, 4), 10 + 200.0 * 5 / 24);
  EXPECT_EQ(at(smooth, 1), 10);
  // A box outside the swath is narrowed into it; a swath shorter than its size gives nothing.
  EXPECT_EQ(at(ExtractNative(swath, 4, 6, {-3, 40}, {}), 1), 10);
  EXPECT_TRUE(ExtractNative(swath, 4, 7, {1, 4}, {}).empty());
  EXPECT_TRUE(ExtractNative(swath, 0, 6, {1, 4}, {}).empty());
}

}  // namespace
}  // namespace lxr4
