#include "output/page_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace lxr4 {
namespace {

// A printer whose texts are 8 units wide per character and 16 high; it
// records what is printed and can fail at its n-th operation (0-based).
class FakePrinter final : public Printer {
 public:
  double pageWidth = 1000, pageHeight = 750;
  double charWidth = 8, charHeight = 16;
  int failAt = -1;
  int calls = 0;
  std::vector<std::string> ops;

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
    return Record("text " + x.Text() + " " + y.Text() + " \"" + std::string(text) + "\"");
  }
  bool Line(Num x1, Num y1, Num x2, Num y2) override {
    return Record("line " + x1.Text() + " " + y1.Text() + " " + x2.Text() + " " + y2.Text());
  }
  bool End() override { return Record("end"); }
  void Abort() override {}

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

// The golden cases print-* show whole pages, their failures without a printer
// and with a page too wide, on a printer of whole units. A real printer's page
// may measure a fraction: the title is placed at it, not cut to a whole number.
TEST(PrintGraphPage, FractionalPageKeepsTheTitleCentred) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  p.pageWidth = 1001;
  ASSERT_TRUE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10}, p));
  EXPECT_EQ(p.ops[2], "text 484.5 43 \"star\"");
}

// Calibrations whose wavelength rises or falls 7 Angstroms a column.
float Rising(int column) { return 3700.0f + 7.0f * static_cast<float>(column); }
float Falling(int column) { return 8300.0f - 7.0f * static_cast<float>(column); }

TEST(PrintGraphPage, DescendingCalibrationIsPlacedByWavelength) {
  const Spectrum s = PeakAtFirstColumn();
  FakePrinter p;
  ASSERT_TRUE(PrintGraphPage({.title = "lamp", .calibrated = true, .spectrum = s, .spectrumMax = 1000,
                              .spectrumMin = 10, .wavelength = Falling},
                             p));
  const std::size_t curve = 35 + 65 + 4;  // after the head, the wavelength scale and the frame
  // Columns 1..14 lie at 8202 and above: the first segment drawn ends at column 15 (8195).
  EXPECT_EQ(p.ops[curve], "line 900 675 899 675");
  // Column 765 (2945 Angstroms) lies far left of the frame.
  EXPECT_EQ(p.ops[curve + 750], "line -54 675 -55 675");
  EXPECT_EQ(p.ops[curve + 751], "text 37 137 \"( 1000)\"");
}

// A calibrated flat spectrum has no scale range, and a wavelength far beyond
// the page no place on it: the page stops at the first segment of the curve,
// unended, before any range label.
TEST(PrintGraphPage, NoScaleOrNoPlaceFailsAtTheCurve) {
  Spectrum flat;
  flat.values.fill(500);
  const struct {
    const char* what;
    Spectrum spectrum;
    std::int32_t max, min;
    std::function<float(int)> wavelength;
  } cases[] = {{"flat", flat, 500, 500, Rising},
               {"beyond the page", PeakAtFirstColumn(), 1000, 10, [](int) { return -1e12f; }}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePrinter p;
    EXPECT_FALSE(PrintGraphPage({.title = "", .calibrated = true, .spectrum = c.spectrum, .spectrumMax = c.max,
                                 .spectrumMin = c.min, .wavelength = c.wavelength},
                                p));
    EXPECT_EQ(p.ops.back(), "line 900 75 100 75");
  }
}

TEST(PrintGraphPage, StopsAtTheFailingPrinterOperation) {
  const struct {
    const char* name;
    int failAt;  // 0-based printer operation
  } cases[] = {
      {"page size", 1},       {"title measure", 2},     {"title text", 3},        {"first tick", 6},
      {"a range label", 115}, {"a curve segment", 300}, {"end of document", 882},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Spectrum s = PeakAtFirstColumn();
    FakePrinter p;
    p.failAt = c.failAt;
    EXPECT_FALSE(PrintGraphPage({.title = "star", .spectrum = s, .spectrumMax = 1000, .spectrumMin = 10}, p));
    EXPECT_EQ(p.calls, c.failAt + 1) << "an operation followed the failure";
    EXPECT_TRUE(p.ops.empty() || p.ops.back() != "end");
  }
}

TEST(PrintGraphPage, OverflowsTakeTheFailurePath) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const double nan = std::nan("");
  const struct {
    const char* name;
    double pageWidth, pageHeight, charWidth, charHeight;
    std::int32_t max, min, value;  // `value` goes into column 5
    std::size_t opsBeforeFailure;
  } cases[] = {
      {"page height beyond 32 bits", 1000, 1e10, 8, 16, 1000, 10, 10, 2},
      {"page size not a number", nan, 750, 8, 16, 1000, 10, 10, 2},
      {"text width beyond 16 bits", 1000, 750, 1e5, 16, 1000, 10, 10, 2},
      {"2 x text height beyond 16 bits", 1000, 750, 8, 20000, 1000, 10, 10, 2},
      {"range beyond 32 bits", 1000, 750, 8, 16, kMax, kMin, 10, 87},
      {"value - minimum beyond 32 bits", 1000, 750, 8, 16, 1000, -10, kMax, 90},
  };
  for (const auto& c : cases) {
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

}  // namespace
}  // namespace lxr4
