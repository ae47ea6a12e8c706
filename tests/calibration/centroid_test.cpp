#include "calibration/centroid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace lxr4 {
namespace {

std::vector<double> Flat(int length, double level) {
  return std::vector<double>(static_cast<std::size_t>(length), level);
}

// Sets column `column` (1-based).
void Put(std::vector<double>& s, int column, double value) {
  s[static_cast<std::size_t>(column - 1)] = value;
}

// A single bright column on a dark spectrum finds itself when it lies in the
// window, the window's centre when it is one of the two background columns,
// and nothing elsewhere: together that pins down the window.
void ExpectWindow(int cursor, int width, int length, int first, int last) {
  for (int spike = std::max(1, first - 3); spike <= std::min(length, last + 3); ++spike) {
    SCOPED_TRACE("spike at " + std::to_string(spike));
    std::vector<double> s = Flat(length, 0);
    Put(s, spike, 1000);
    const CentroidResult r = FindCentroid(s, cursor, width);
    if (spike >= first && spike <= last) {
      ASSERT_EQ(r.error, CentroidError::None);
      EXPECT_EQ(r.column, static_cast<float>(spike));
    } else if (spike == first - 1 || spike == last + 1) {
      ASSERT_EQ(r.error, CentroidError::None);
      EXPECT_EQ(r.column, static_cast<float>((first + last) / 2));
    } else {
      EXPECT_EQ(r.error, CentroidError::NoLine);
    }
  }
}

TEST(FindCentroid, WindowStaysInsideTheSpectrum) {
  const struct {
    int cursor, width, length, first, last;
  } cases[] = {
      {0, 5, 765, 2, 6},        {1, 5, 765, 2, 6},       {2, 5, 765, 2, 6},        {3, 5, 765, 2, 6},
      {4, 5, 765, 2, 6},        {5, 5, 765, 3, 7},       {761, 5, 765, 759, 763},  {762, 5, 765, 760, 764},
      {763, 5, 765, 760, 764},  {764, 5, 765, 760, 764}, {765, 5, 765, 760, 764},  {768, 5, 765, 760, 764},
      {381, 13, 765, 375, 387}, {1, 13, 765, 2, 14},     {765, 13, 765, 752, 764}, {1, 3, 5, 2, 4},
      {5, 3, 5, 2, 4},          {3, 7, 9, 2, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    ExpectWindow(c.cursor, c.width, c.length, c.first, c.last);
  }
}

// The golden case calib-no-line shows a flat spectrum, none at all, and 6
// columns too short for the window of 5.
TEST(FindCentroid, RefusesASpectrumShorterThanTheWindowAndItsBackground) {
  const struct {
    int length, width;
    CentroidError error;
  } cases[] = {
      {7, 5, CentroidError::None},  // W + 2: fits
      {1, 5, CentroidError::SpectrumTooShort},
      {15, 13, CentroidError::None},
      {14, 13, CentroidError::SpectrumTooShort},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("length " + std::to_string(c.length) + " width " + std::to_string(c.width));
    std::vector<double> s = Flat(c.length, 10);
    if (c.length > 3) Put(s, 4, 50);
    EXPECT_EQ(FindCentroid(s, 4, c.width).error, c.error);
  }
}

// Besides the single bright columns, lamp lines and the star's dip of the golden cases.
TEST(FindCentroid, KnownLines) {
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::int32_t>> columns;  // on a baseline of 100
    int cursor, width;
    float centroid;
  };
  const Case cases[] = {
      {"symmetric line between two columns", {{399, 400}, {400, 1000}, {401, 1000}, {402, 400}}, 400, 7, 400.5f},
      // A column below the background weighs against the line: no clipping.
      {"negative weight kept", {{398, 50}, {400, 1000}}, 400, 5,
       static_cast<float>((-50.0 * 398 + 900.0 * 400) / 850.0)},
      // Background (101 + 100) / 2 = 100.5, kept exactly: every other column weighs -0.5.
      {"half-unit background", {{397, 101}, {401, 1000}}, 400, 5, static_cast<float>(359900.0 / 897.5)},
      {"width 13 at column 381", {{375, 300}, {387, 100}, {381, 700}}, 381, 13,
       static_cast<float>((200.0 * 375 + 600.0 * 381) / 800.0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> s = Flat(765, 100);
    for (const auto& [column, value] : c.columns) Put(s, column, value);
    const CentroidResult r = FindCentroid(s, c.cursor, c.width);
    ASSERT_EQ(r.error, CentroidError::None);
    EXPECT_EQ(r.column, c.centroid);
  }
}

TEST(FindCentroid, LargeValuesDoNotOverflow) {
  std::vector<double> s = Flat(765, std::numeric_limits<std::int32_t>::max() - 1);
  Put(s, 400, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(FindCentroid(s, 400, 5).column, 400.0f);
}

// A brighter neighbour on a background column lifts the background to the
// window's level: its weights are of both signs and sum to little, or to less
// than nothing, and their centroid would lie anywhere. Weights of both signs
// whose centroid stays inside are kept, to the bit. (A negative sum whose
// centroid lies inside stands: KnownLines' "half-unit background".)
TEST(FindCentroid, RefusesACentroidOutsideItsWindowOrWithoutNetLight) {
  struct Case {
    const char* name;
    std::vector<double> window;  // columns 417..421; 416 is 1000, 422 is 0: background 500
    CentroidError error;
    float column = 0;
  };
  const Case cases[] = {
      // weights -10 0 0 100 0: (-4170 + 42000) / 90 = 420.33
      {"mixed, inside", {490, 500, 500, 600, 500}, CentroidError::None,
       static_cast<float>((-10.0 * 417 + 100.0 * 420) / 90.0)},
      // weights -100 0 1 0 100: net light 1, centroid 819 (far right)
      {"outside", {400, 500, 501, 500, 600}, CentroidError::OutsideWindow},
      // weights -100 0 1 0 99: net light 0
      {"no net light", {400, 500, 501, 500, 599}, CentroidError::NoLine},
      // weights -100 0 1 0 50: net light -49, centroid 421 - 398 / 49 = 412.88
      {"less than none", {400, 500, 501, 500, 550}, CentroidError::OutsideWindow},
      // weights -100 0 1 0 300: net light 201, centroid 421 + 398 / 201 = 422.98
      {"just beyond the last column", {400, 500, 501, 500, 800}, CentroidError::OutsideWindow},
      // weights -100 0 1 0 2000: net light 1901, centroid 421 + 398 / 1901 = 421.21
      {"a hair beyond", {400, 500, 501, 500, 2500}, CentroidError::OutsideWindow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<double> s = Flat(765, 0);
    Put(s, 416, 1000);
    for (int i = 0; i < 5; ++i) Put(s, 417 + i, c.window[static_cast<std::size_t>(i)]);
    const CentroidResult r = FindCentroid(s, 419, 5);
    EXPECT_EQ(r.error, c.error);
    if (c.error == CentroidError::None) {
      EXPECT_EQ(r.column, c.column);
    }
    EXPECT_EQ(r.first, 417);
    EXPECT_EQ(r.last, 421);
  }
}

}  // namespace
}  // namespace lxr4
