#include "output/page_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace lxr4 {
namespace {

// A printer whose texts are 8 units wide per character and 16 high; it
// records what is printed and can fail at its n-th operation (0-based).
class FakePrinter final : public PagePrinter {
 public:
  double pageWidth = 1000, pageHeight = 750;
  double charWidth = 8, charHeight = 16;
  int failAt = -1;
  int calls = 0;
  std::vector<std::string> ops;
  std::vector<std::vector<Num::Kind>> kinds;  // argument types of each text and line

  bool Setup(int value) override { return Record("setup " + std::to_string(value)); }
  std::optional<PageSize> Size() override {
    if (!Record("size")) return std::nullopt;
    return PageSize{Num(pageWidth), Num(pageHeight)};
  }
  std::optional<TextSize> Measure(std::string_view text) override {
    if (calls++ == failAt) return std::nullopt;
    return TextSize{charWidth * static_cast<double>(text.size()), charHeight};
  }
  bool Text(Num x, Num y, std::string_view text) override {
    kinds.push_back({x.kind(), y.kind()});
    return Record("text " + x.Text() + " " + y.Text() + " \"" + std::string(text) + "\"");
  }
  bool Line(Num x1, Num y1, Num x2, Num y2) override {
    kinds.push_back({x1.kind(), y1.kind(), x2.kind(), y2.kind()});
    return Record("line " + x1.Text() + " " + y1.Text() + " " + x2.Text() + " " + y2.Text());
  }
  bool End() override { return Record("end"); }

 private:
  bool Record(std::string op) {
    if (calls++ == failAt) return false;
    ops.push_back(std::move(op));
    return true;
  }
};

// A spectrum of 10s with 1000 in column 1: minimum 10, maximum 1000.
Spectrum PeakAtFirstColumn() {
  Spectrum s;
  s.values.fill(10);
  s[1] = 1000;
  return s;
}

std::vector<std::string> Slice(const std::vector<std::string>& ops, std::size_t first, std::size_t count) {
  return {ops.begin() + static_cast<std::ptrdiff_t>(first),
          ops.begin() + static_cast<std::ptrdiff_t>(first + count)};
}

// The page of 1000 x 750 units: X0 100, Y0 75, PW 800, PH 600, T 7.
TEST(PrintGraphPage, UncalibratedPageHeadScalesAndFrame) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  ASSERT_TRUE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10}, p));
  const std::vector<std::string> head = {
      "setup 2", "size", "text 484 43 \"star\"", "text 452 714 \"Pixel Number\"",
      // Vertical scale: ticks at Y0 + rint(54.545456 x i), labels against the left ticks.
      "line 107 130 100 130", "line 893 130 900 130", "text 61 122 \" 100\"",
      "line 107 184 100 184", "line 893 184 900 184", "text 69 176 \" 90\"",
      "line 107 239 100 239", "line 893 239 900 239", "text 69 231 \" 80\"",
      "line 107 293 100 293", "line 893 293 900 293", "text 69 285 \" 70\"",
      "line 107 348 100 348", "line 893 348 900 348", "text 69 340 \" 60\"",
      "line 107 402 100 402", "line 893 402 900 402", "text 69 394 \" 50\"",
      "line 107 457 100 457", "line 893 457 900 457", "text 69 449 \" 40\"",
      "line 107 511 100 511", "line 893 511 900 511", "text 69 503 \" 30\"",
      "line 107 566 100 566", "line 893 566 900 566", "text 69 558 \" 20\"",
      "line 107 620 100 620", "line 893 620 900 620", "text 69 612 \" 10\"",
      "text 85 659 \"0\""};
  EXPECT_EQ(Slice(p.ops, 0, head.size()), head);

  // Horizontal scale: ticks every 40000 / 765 units, labels 0..750 centred under them.
  const int tickX[] = {152, 205, 257, 309, 361, 414, 466, 518, 571, 623, 675, 727, 780, 832, 884};
  std::vector<std::string> scale;
  for (int x : tickX) {
    scale.push_back("line " + std::to_string(x) + " 668 " + std::to_string(x) + " 675");
    scale.push_back("line " + std::to_string(x) + " 82 " + std::to_string(x) + " 75");
  }
  scale.push_back("text 92 682 \" 0\"");
  scale.push_back("text 140 682 \" 50\"");
  for (int j = 2; j <= 15; ++j)
    scale.push_back("text " + std::to_string(tickX[j - 1] - 16) + " 682 \" " + std::to_string(j * 50) + "\"");
  EXPECT_EQ(Slice(p.ops, head.size(), scale.size()), scale);

  const std::vector<std::string> frameAndLabels = {
      "line 100 75 100 675", "line 100 675 900 675", "line 900 675 900 75", "line 900 75 100 75",
      "text 37 137 \"( 1000)\"", "text 53 643 \"( 10)\""};
  EXPECT_EQ(Slice(p.ops, head.size() + scale.size(), frameAndLabels.size()), frameAndLabels);
}

TEST(PrintGraphPage, UncalibratedCurveSpansColumns1To765) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  ASSERT_TRUE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10}, p));
  // 2 + 2 titles + 31 + 46 + 4 + 2 labels, then 764 segments and the end.
  ASSERT_EQ(p.ops.size(), 87u + 764u + 1u);
  EXPECT_EQ(p.ops[87], "line 101 130 102 675");  // the maximum at the "100" tick
  EXPECT_EQ(p.ops[88], "line 102 675 103 675");
  EXPECT_EQ(p.ops[87 + 763], "line 899 675 900 675");  // column 765 on the right edge
  EXPECT_EQ(p.ops.back(), "end");
}

TEST(PrintGraphPage, CoordinatesKeepTheirTypes) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  p.pageWidth = 1001;  // W / 2 is a fraction
  ASSERT_TRUE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10}, p));
  using K = Num::Kind;
  EXPECT_EQ(p.ops[2], "text 484.5 43 \"star\"");
  EXPECT_EQ(p.kinds[0], (std::vector<K>{K::Double, K::Int32}));                  // title
  EXPECT_EQ(p.kinds[2], (std::vector<K>{K::Int32, K::Int32, K::Int32, K::Int32}));  // a tick
  EXPECT_EQ(p.ops[85], "text 37 137 \"( 1000)\"");
  EXPECT_EQ(p.kinds[83], (std::vector<K>{K::Int32, K::Double}));  // maximum label: rint(th) / 2
  EXPECT_EQ(p.kinds[84], (std::vector<K>{K::Int32, K::Int32}));
}

// A calibration whose wavelength rises 7 Angstroms a column from 3707 at column 1.
float Rising(int column) { return 3700.0f + 7.0f * static_cast<float>(column); }
float Falling(int column) { return 8300.0f - 7.0f * static_cast<float>(column); }

TEST(PrintGraphPage, CalibratedScaleReads3800To8200) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  ASSERT_TRUE(PrintGraphPage(
      {.title = "lamp", .calibrated = true, .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10,
       .wavelength = Rising},
      p));
  EXPECT_EQ(p.ops[3], "text 408 714 \"Wavelength in Angstroms\"");
  // 21 ticks every 800 / 22 units, then 23 labels.
  const std::size_t ticks = 35;
  EXPECT_EQ(p.ops[ticks], "line 136 668 136 675");
  EXPECT_EQ(p.ops[ticks + 40], "line 864 668 864 675");
  EXPECT_EQ(p.ops[ticks + 41], "line 864 82 864 75");
  EXPECT_EQ(p.ops[ticks + 42], "text 80 682 \" 3800\"");
  EXPECT_EQ(p.ops[ticks + 43], "text 116 682 \" 4000\"");
  EXPECT_EQ(p.ops[ticks + 64], "text 880 682 \" 8200\"");
  EXPECT_EQ(p.ops[ticks + 65], "line 100 75 100 675");
}

TEST(PrintGraphPage, CalibratedCurveComesBeforeTheRangeLabelsAndStopsBefore8200) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  std::vector<int> evaluated;
  ASSERT_TRUE(PrintGraphPage({.title = "lamp", .calibrated = true, .spectrum = s, .spectrumMax = 1000,
                              .spectrumMin = 10,
                              .wavelength =
                                  [&](int column) {
                                    evaluated.push_back(column);
                                    return Rising(column);
                                  }},
                             p));
  const std::size_t curve = 35 + 65 + 4;
  // Wavelengths below 3800 are drawn left of the frame; the last segment ends at 8194.
  EXPECT_EQ(p.ops[curve], "line 83 130 84 675");
  EXPECT_EQ(p.ops[curve + 640], "line 898 675 899 675");
  EXPECT_EQ(p.ops[curve + 641], "text 37 137 \"( 1000)\"");
  EXPECT_EQ(p.ops[curve + 642], "text 53 643 \"( 10)\"");
  EXPECT_EQ(p.ops[curve + 643], "end");
  EXPECT_EQ(p.ops.size(), curve + 644);
  // Every column is evaluated, whether its segment is drawn or not; 765 comes last.
  EXPECT_EQ(evaluated.size(), 2u * 764u);
  EXPECT_EQ(evaluated.back(), 765);
}

TEST(PrintGraphPage, DescendingCalibrationIsPlacedByWavelength) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  ASSERT_TRUE(PrintGraphPage({.title = "lamp", .calibrated = true, .spectrum = s, .spectrumMax = 1000,
                              .spectrumMin = 10, .wavelength = Falling},
                             p));
  const std::size_t curve = 35 + 65 + 4;
  // Columns 1..14 lie at 8202 and above: the first segment drawn ends at column 15 (8195).
  EXPECT_EQ(p.ops[curve], "line 900 675 899 675");
  // Column 765 (2945 Angstroms) lies far left of the frame.
  EXPECT_EQ(p.ops[curve + 750], "line -54 675 -55 675");
  EXPECT_EQ(p.ops[curve + 751], "text 37 137 \"( 1000)\"");
}

struct FlatCase {
  const char* name;
  std::int32_t level;
  bool calibrated;
  const char* lastOp;
};

// No scale range: the page stops at the first segment of the curve, unended.
TEST(PrintGraphPage, FlatSpectrumFailsAtTheCurve) {
  const FlatCase cases[] = {
      {"before any extraction", 0, false, "text 61 643 \"( 0)\""},
      {"flat at 500", 500, false, "text 45 643 \"( 500)\""},
      {"calibrated, no range labels", 500, true, "line 900 75 100 75"},
  };
  for (const FlatCase& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s;
    s.values.fill(c.level);
    FakePrinter p;
    EXPECT_FALSE(PrintGraphPage({.title = "", .calibrated = c.calibrated, .spectrum = s,
                                 .spectrumMax = c.level, .spectrumMin = c.level, .wavelength = Rising},
                                p));
    EXPECT_EQ(p.ops.back(), c.lastOp);
  }
}

struct FailCase {
  const char* name;
  int failAt;  // 0-based printer operation
};

TEST(PrintGraphPage, StopsAtTheFailingPrinterOperation) {
  const FailCase cases[] = {
      {"page set-up (no printer)", 0}, {"page size", 1},     {"title measure", 2}, {"title text", 3},
      {"first tick", 6},               {"a range label", 115}, {"a curve segment", 300},
      {"end of document", 882},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Spectrum s = PeakAtFirstColumn();
    FakePrinter p;
    p.failAt = c.failAt;
    EXPECT_FALSE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10}, p));
    EXPECT_EQ(p.calls, c.failAt + 1) << "an operation followed the failure";
    EXPECT_TRUE(p.ops.empty() || p.ops.back() != "end");
  }
}

struct OverflowCase {
  const char* name;
  double pageWidth, pageHeight, charWidth, charHeight;
  std::int32_t max, min, value;  // `value` goes into column 5
  std::size_t opsBeforeFailure;
};

TEST(PrintGraphPage, OverflowsTakeTheFailurePath) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const double nan = std::nan("");
  const OverflowCase cases[] = {
      {"page width x 10 beyond 32 bits", 3e8, 750, 8, 16, 1000, 10, 10, 2},
      {"page height beyond 32 bits", 1000, 1e10, 8, 16, 1000, 10, 10, 2},
      {"page size not a number", nan, 750, 8, 16, 1000, 10, 10, 2},
      {"text width beyond 16 bits", 1000, 750, 1e5, 16, 1000, 10, 10, 2},
      {"2 x text height beyond 16 bits", 1000, 750, 8, 20000, 1000, 10, 10, 2},
      {"range beyond 32 bits", 1000, 750, 8, 16, kMax, kMin, 10, 87},
      {"value - minimum beyond 32 bits", 1000, 750, 8, 16, 1000, -10, kMax, 90},
  };
  for (const OverflowCase& c : cases) {
    SCOPED_TRACE(c.name);
    Spectrum s = PeakAtFirstColumn();
    s[5] = c.value;
    FakePrinter p;
    p.pageWidth = c.pageWidth;
    p.pageHeight = c.pageHeight;
    p.charWidth = c.charWidth;
    p.charHeight = c.charHeight;
    EXPECT_FALSE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = c.max, .spectrumMin = c.min}, p));
    EXPECT_EQ(p.ops.size(), c.opsBeforeFailure);
  }
}

TEST(PrintGraphPage, WavelengthBeyondThePageFails) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  EXPECT_FALSE(PrintGraphPage({.title = "lamp", .calibrated = true, .spectrum = s, .spectrumMax = 1000,
                               .spectrumMin = 10, .wavelength = [](int) { return -1e12f; }},
                              p));
  EXPECT_EQ(p.ops.back(), "line 900 75 100 75");
}

}  // namespace
}  // namespace lxr4
