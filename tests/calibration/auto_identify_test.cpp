// Automatic identification on synthetic arcs drawn from a known calibration
// (linear and cubic, rising and falling, with noise, list lines missing from
// the arc and arc lines missing from the list) from starts 15-20% off in
// dispersion and 100+ Angstroms off in centre, one with a stretch of list far
// denser than its lines; its refusals; and the choice of order by
// leave-one-out error.
#include "calibration/auto_identify.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "calibration/line_fit.h"
#include "tests/calibration/synthetic_arc.h"

namespace lxr4 {
namespace {

using Curve = std::function<double(double)>;

struct ArcCase {
  const char* name;
  Curve truth;
  double dispersionFactor, centreOffset;  // the start: dispersion times this, centre plus this
};

constexpr int kPixels = 2048;

Curve Linear(double centre, double dispersion) {
  return [=](double p) { return centre + dispersion * (p - 1024.5); };
}
Curve Cubic(double centre, double dispersion) {  // bends about 15 pixels from a line at the ends
  return [=](double p) {
    const double x = p - 1024.5;
    return centre + dispersion * x + 3.8e-5 * x * x + 3e-8 * x * x * x;
  };
}

// The list: 150 lines over 4000..9500 A; the arc shows 80% of them and 15 lines the list lacks.
struct Lamp {
  std::vector<ListLine> list;
  SyntheticArc arc;
};
Lamp MakeLamp(const Curve& truth, double noise) {
  const std::vector<double> listed = RandomLines(150, 4000, 9500, 15, 11);
  std::vector<double> shown;
  for (std::size_t i = 0; i < listed.size(); ++i)
    if (i % 5 != 2) shown.push_back(listed[i]);
  for (const double w : RandomLines(15, 4000, 9500, 40, 12))
    if (std::none_of(listed.begin(), listed.end(), [&](double o) { return std::fabs(o - w) < 20; }))
      shown.push_back(w);
  return {AsList(listed, "X"), DrawArc(truth, shown, kPixels, noise)};
}

// rms over the detector of the solution's error, in pixels of the truth.
double PixelRms(const FittedCalibration& fit, const Curve& truth) {
  double sum = 0;
  for (int p = 1; p <= kPixels; ++p) {
    const double e = (FittedWavelength(fit, p) - truth(p)) / (truth(p + 0.5) - truth(p - 0.5));
    sum += e * e;
  }
  return std::sqrt(sum / kPixels);
}

TEST(AutoIdentify, FindsTheLinesOfSyntheticArcsFromARoughStart) {
  const std::vector<ArcCase> cases{
      {"linear rising, dispersion 18% low, centre 150 A high", Linear(6500, 1.5), 0.82, 150},
      {"linear falling, dispersion 20% high, centre 120 A low", Linear(6000, -1.8), 1.2, -120},
      {"cubic rising, dispersion 15% high, centre 110 A low", Cubic(6800, 2.2), 1.15, -110},
      {"cubic falling, dispersion 17% low, centre 200 A high", Cubic(7000, -2.0), 0.83, 200},
      {"cubic falling exact", Cubic(7000, -2.0), 1.0, 0},
  };
  for (const ArcCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Lamp lamp = MakeLamp(c.truth, 25);
    const double dispersion = c.truth(kPixels) - c.truth(kPixels - 1);
    const AutoIdentifyResult r = AutoIdentifyLines(lamp.arc.spectrum, lamp.list,
                                                   {.centralWavelength = c.truth(1024.5) + c.centreOffset,
                                                    .dispersion = dispersion * c.dispersionFactor});
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    for (const CalibrationLine& l : r.lines)  // no wrong identification
      EXPECT_NEAR(PixelOf(c.truth, l.wavelength, kPixels), l.column, 0.5) << l.wavelength;
    int listedShown = 0;
    for (const double w : lamp.arc.drawn)
      listedShown += std::any_of(lamp.list.begin(), lamp.list.end(),
                                 [&](const ListLine& l) { return l.wavelength == w; });
    EXPECT_GE(r.linesUsed, 0.85 * listedShown);
    EXPECT_LE(PixelRms(r.calibration, c.truth), 0.05);  // pixels over the whole detector
    EXPECT_LE(r.rmsPixels, 0.05);
    EXPECT_GE(r.coverage, 0.9);
    EXPECT_GE(r.linesOffered, r.linesUsed);
    EXPECT_EQ(r.calibration.kind, FitKind::Polynomial);
    EXPECT_EQ(r.calibration.pixels, kPixels);
    EXPECT_EQ(r.lines.front().label, "X");
  }
}

// A stretch of list far denser than the arc's lines (a line every 6 A at
// random, 3 pixels, over the blue third) puts a list line within reach of any peak
// there: a solution that moves the peaks into it matches them all by chance,
// and must not win over the true one, from starts 20% off to the blue.
TEST(AutoIdentify, ADenseStretchOfListExplainsNothing) {
  const Curve truth = Cubic(6000, 2.0);  // 3990..8060 A
  const std::vector<double> shown = RandomLines(40, 4000, 8000, 40, 17);
  std::vector<double> listed = shown;
  for (const double w : RandomLines(370, 3000, 5200, 0.5, 18))
    if (std::none_of(shown.begin(), shown.end(), [&](double o) { return std::fabs(o - w) < 10; }))
      listed.push_back(w);
  const SyntheticArc arc = DrawArc(truth, shown, kPixels, 25);
  const double span = truth(kPixels) - truth(1), dispersion = span / (kPixels - 1);
  for (const double factor : {0.8, 1.0, 1.2}) {
    SCOPED_TRACE(factor);
    const AutoIdentifyResult r = AutoIdentifyLines(
        arc.spectrum, AsList(listed, "X"),
        {.centralWavelength = truth(1024.5) - 0.2 * span, .dispersion = dispersion * factor});
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    for (const CalibrationLine& l : r.lines)
      EXPECT_NEAR(PixelOf(truth, l.wavelength, kPixels), l.column, 0.5) << l.wavelength;
    EXPECT_LE(PixelRms(r.calibration, truth), 0.1);
    EXPECT_GE(r.linesUsed, 25);
  }
}

TEST(AutoIdentify, StartsFromTheCalibrationInForce) {
  const Curve truth = Cubic(6800, 2.2);
  const Lamp lamp = MakeLamp(truth, 25);
  // A calibration of an earlier night: 6 pixels off and 2% out in dispersion.
  AutoIdentifyStart start;
  start.calibration = [&](double p) { return truth(1024.5) + 1.02 * (truth(p + 6) - truth(1024.5)); };
  const AutoIdentifyResult r = AutoIdentifyLines(lamp.arc.spectrum, lamp.list, start);
  ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
  EXPECT_LE(PixelRms(r.calibration, truth), 0.05);
  for (const CalibrationLine& l : r.lines) EXPECT_NEAR(PixelOf(truth, l.wavelength, kPixels), l.column, 0.5);
}

TEST(AutoIdentify, RefusesWithANamedReason) {
  using E = AutoIdentifyError;
  const Lamp lamp = MakeLamp(Linear(6500, 1.5), 25);
  const auto from = [](double centre, double dispersion, double tolerance = 0.2) {
    return AutoIdentifyStart{.centralWavelength = centre, .dispersion = dispersion, .tolerance = tolerance};
  };
  std::vector<ListLine> crowded;  // lines closer together than any peak's width
  for (int k = 0; k < 10; ++k) crowded.push_back({6400 + 0.3 * k, "X"});
  // An arc whose calibration falls below 0 Angstroms before the detector's first pixel.
  const std::vector<double> lowLines = RandomLines(60, 20, 2600, 15, 3);
  const std::vector<double>& arc = lamp.arc.spectrum;
  const struct Case {
    const char* name;
    std::vector<double> spectrum;
    std::vector<ListLine> list;
    AutoIdentifyStart start;
    E error;
  } cases[] = {
      {"dispersion 0", arc, lamp.list, from(6500, 0), E::BadStart},
      {"centre not a number", arc, lamp.list, from(NAN, 1.5), E::BadStart},
      {"tolerance 1", arc, lamp.list, from(6500, 1.5, 1), E::BadStart},
      {"empty list", arc, {}, from(6500, 1.5), E::NoListLines},
      {"list far away", arc, AsList({20000, 20200, 20400}, "X"), from(6500, 1.5), E::NoListLines},
      {"flat spectrum", std::vector<double>(kPixels, 800.0), lamp.list, from(6500, 1.5), E::TooFewPeaks},
      {"crowded list", arc, crowded, from(6500, 1.5), E::NoSolution},
      {"no wavelength at pixel 1", DrawArc(Linear(1000, 1.5), lowLines, kPixels, 25).spectrum,
       AsList(lowLines, "X"), from(1000, 1.5), E::FitFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AutoIdentifyResult r = AutoIdentifyLines(c.spectrum, c.list, c.start);
    EXPECT_EQ(r.error, c.error);
    EXPECT_FALSE(r.message.empty());
    EXPECT_TRUE(r.lines.empty());
  }
}

// `count` lines 80 columns apart along `curve`, their wavelengths off by
// Gaussian errors of `noise` Angstroms (a fixed seed).
LineSet LinesOn(const Curve& curve, int count, double noise) {
  std::mt19937 random(5);
  std::normal_distribution<double> error(0, noise > 0 ? noise : 1);
  LineSet lines;
  for (int i = 0; i < count; ++i) {
    const double column = 30 + 80.0 * i;
    lines.push_back(
        {curve(column) + (noise > 0 ? error(random) : 0.0), static_cast<float>(column), "", true});
  }
  return lines;
}

TEST(ChooseOrderByLeaveOneOut, TakesTheLowestOrderThatPredictsTheLeftOutLines) {
  struct Case {
    const char* name;
    LineSet lines;
    int order;
  };
  const Curve quadratic = [](double p) { return Linear(6000, 2)(p) + 4e-5 * (p - 1024.5) * (p - 1024.5); };
  const std::vector<Case> cases{
      {"straight line", LinesOn(Linear(6000, 2), 25, 0.05), 1},
      {"quadratic", LinesOn(quadratic, 25, 0.05), 2},
      {"cubic", LinesOn(Cubic(6000, 2), 25, 0.05), 3},
      {"three lines: a line only", LinesOn(Cubic(6000, 2), 3, 0.05), 1},
      {"two lines: nothing to judge", LinesOn(Linear(6000, 2), 2, 0), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const OrderChoice choice = ChooseOrderByLeaveOneOut(c.lines);
    EXPECT_EQ(choice.order, c.order);
    if (c.order > 0) {
      EXPECT_TRUE(std::isfinite(choice.leaveOneOut[static_cast<std::size_t>(c.order)]));
    }
  }
}

TEST(ChooseOrderByLeaveOneOut, EachLineIsPredictedByTheFitThroughTheOthers) {
  const LineSet lines = LinesOn(Cubic(6000, 2), 9, 0.5);
  const OrderChoice choice = ChooseOrderByLeaveOneOut(lines);
  for (int order = 1; order <= 4; ++order) {
    SCOPED_TRACE(order);
    double sum = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      LineSet others = lines;
      others.erase(others.begin() + static_cast<std::ptrdiff_t>(i));
      const FitResult fit = FitPolynomial(others, order, {.pixels = kPixels});
      ASSERT_EQ(fit.error, FitError::None);
      const double r = lines[i].wavelength - FittedWavelength(fit.calibration, lines[i].column);
      sum += r * r;
    }
    // Angstroms; the refits' wavelengths are read out in single precision.
    EXPECT_NEAR(choice.leaveOneOut[static_cast<std::size_t>(order)], std::sqrt(sum / 9), 2e-3);
  }
}

}  // namespace
}  // namespace lxr4
