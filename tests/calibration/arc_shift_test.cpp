// The shift and stretch between two lamp spectra: synthetic arcs drawn from
// one calibration, the second moved by a known shift and stretch (and of
// another length), measured back; arcs with nothing to match refused. And the
// re-identification of a moved arc from the saved calibration, with its
// refusals.
#include "calibration/arc_shift.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "calibration/line_fit.h"
#include "calibration/reidentify.h"
#include "tests/calibration/synthetic_arc.h"

namespace lxr4 {
namespace {

// 60 lines over 5000..7000 A on `pixels` pixels at 2.6 A a pixel, 25 counts of noise.
std::function<double(double)> Truth(int pixels) {
  return [pixels](double p) { return 6000 + 2.6 * (p - (pixels + 1) / 2.0) * 768.0 / pixels; };
}
const std::vector<double> kLines = RandomLines(60, 5000, 7000, 8, 3);

// The lamp at `pixels` pixels with each saved pixel p at current pixel
// c + (p - c) stretch + shift: every line the same height whatever the
// detector shows (2000..20000 counts, from its wavelength), sigma 1.3 pixels,
// on 500 counts with 25 counts of noise from `seed`.
std::vector<double> Moved(int savedPixels, int pixels, double shift, double stretch, unsigned seed) {
  const double c = (savedPixels + 1) / 2.0;
  const auto truth = Truth(savedPixels);
  const auto moved = [=](double q) { return truth(c + (q - shift - c) / stretch); };
  std::vector<double> arc = DrawArc(moved, {}, pixels, 25, seed).spectrum;
  for (const double w : kLines) {
    const double centre = PixelOf(moved, w, pixels);
    if (centre < 5 || centre > pixels - 5) continue;
    const double height = 2000 + 18000 * (w * 0.618034 - std::floor(w * 0.618034));
    for (int p = 1; p <= pixels; ++p)
      arc[static_cast<std::size_t>(p - 1)] += height * std::exp(-0.5 * std::pow((p - centre) / 1.3, 2));
  }
  return arc;
}

TEST(ArcShift, MeasuresAKnownShiftAndStretch) {
  // Saved and current pixels, shift, stretch.
  const std::tuple<int, int, double, double> cases[] = {
      {768, 768, 15.3, 1.0},     {768, 768, 7, 1.008},     {768, 768, -15.3, 1.0},
      {768, 768, -7.6, 0.992},   {768, 768, 150.45, 1.0},  {768, 768, 0, 1.0},
      {768, 800, 12.4, 1.0},     {768, 800, -3.7, 1.005},  {800, 768, 9.25, 0.997},
      {3072, 3072, 61.2, 1.004}, {3072, 2048, -30.3, 1.0}, {16384, 16384, 1234.56, 1.002}};
  for (const auto& [saved, pixels, shift, stretch] : cases) {
    SCOPED_TRACE(testing::Message() << saved << ">" << pixels << " +" << shift << " x" << stretch);
    const ArcShift r = MeasureArcShift(Moved(saved, saved, 0, 1, 7), Moved(saved, pixels, shift, stretch, 8));
    ASSERT_TRUE(r.ok) << r.correlation;
    EXPECT_NEAR(r.shift, shift, 0.05);  // pixels
    EXPECT_NEAR(r.stretch, stretch, 0.001);
    EXPECT_TRUE(r.correlation > 0.8 && r.correlation <= 1.0) << r.correlation;
    EXPECT_DOUBLE_EQ(r.centre, (saved + 1) / 2.0);
  }
}

TEST(ArcShift, RefusesArcsWithNothingToMatch) {
  const std::vector<double> saved = Moved(768, 768, 0, 1, 7);
  const std::vector<double> flat(768, 500.0);
  const std::tuple<const char*, std::vector<double>, std::vector<double>> cases[] = {
      {"a flat current arc", saved, flat},
      {"a flat saved arc", flat, saved},
      {"noise alone", saved, DrawArc(Truth(768), {}, 768, 25, 9).spectrum},
      {"another lamp's lines", saved,
       DrawArc(Truth(768), RandomLines(60, 5000, 7000, 8, 99), 768, 25, 9).spectrum},
      {"no finite value", saved, std::vector<double>(768, std::numeric_limits<double>::quiet_NaN())},
      {"an empty arc", saved, {}},
      {"a shift beyond a quarter of the detector", saved, Moved(768, 768, 250, 1, 8)},
      {"a stretch beyond 2%", saved, Moved(768, 768, 0, 1.05, 8)},
  };
  for (const auto& [name, savedArc, current] : cases) {
    SCOPED_TRACE(name);
    const ArcShift r = MeasureArcShift(savedArc, current);
    EXPECT_FALSE(r.ok);
    EXPECT_LT(r.correlation, kMinArcCorrelation);
  }
}

// The calibration the saved arc of 768 pixels was drawn from.
FittedCalibration SavedCalibration() {
  FittedCalibration c;
  c.kind = FitKind::Polynomial;
  c.polynomial = {1, 384.5, 1, {6000, 2.6, 0, 0, 0}};
  return c;
}

TEST(Reidentify, FindsTheLinesOfAMovedArc) {
  const std::vector<double> saved = Moved(768, 768, 0, 1, 7);
  for (const auto& [shift, stretch, pixels] : {std::tuple{15.3, 1.0, 768}, std::tuple{-7.0, 1.008, 800}}) {
    SCOPED_TRACE(std::to_string(shift) + " x" + std::to_string(stretch));
    const ReidentifyResult r =
        Reidentify(SavedCalibration(), saved, Moved(768, pixels, shift, stretch, 8), AsList(kLines, "X"));
    ASSERT_EQ(r.error, ReidentifyError::None) << r.message;
    EXPECT_NEAR(r.shift.shift, shift, 0.05);
    EXPECT_EQ(r.identification.calibration.pixels, pixels);
    EXPECT_GE(r.identification.linesUsed, 40);
    // The wavelength at each current pixel is the saved one where it came from.
    const ArcShift truth{.shift = shift, .stretch = stretch, .centre = 384.5};
    EXPECT_NEAR(truth.SavedPixel(truth.CurrentPixel(100.25)), 100.25, 1e-12);
    const FittedCalibration now = r.identification.calibration, was = SavedCalibration();
    double sum = 0;  // square Angstroms
    for (int q = 1; q <= pixels; ++q)
      sum += std::pow(FittedWavelength(now, q) - FittedWavelength(was, truth.SavedPixel(q)), 2);
    EXPECT_LT(std::sqrt(sum / pixels) / (2.6 * stretch), 0.05);  // pixels rms
  }
}

TEST(Reidentify, RefusesWithAMessage) {
  using E = ReidentifyError;
  const std::vector<double> saved = Moved(768, 768, 0, 1, 7), moved = Moved(768, 768, 15.3, 1, 8);
  const std::vector<double> shorter(saved.begin(), saved.end() - 1), flat(768, 500.0);
  const std::vector<ListLine> lines = AsList(kLines, "X"), far = AsList({9000, 9100, 9200, 9300, 9400}, "X");
  // A saved arc of another length, a flat lamp, a line list of another range.
  using Case = std::tuple<std::vector<double>, std::vector<double>, std::vector<ListLine>, E, std::string>;
  const Case cases[] = {
      {shorter, moved, lines, E::Mismatch,
       "The saved lamp spectrum has 767 pixels, but the calibration counts 768."},
      {saved, flat, lines, E::NoShift,
       "This lamp does not match the one the calibration was made on: its lines could not be found again "
       "(best correlation 0.00)."},
      {saved, moved, far, E::NotIdentified,
       "The lamp has moved by 15.31 pixels, but its lines could not be identified again: The line list has "
       "fewer than 4 lines that can fall on the detector."},
  };
  for (const auto& [savedArc, current, list, error, message] : cases) {
    SCOPED_TRACE(message);
    const ReidentifyResult r = Reidentify(SavedCalibration(), savedArc, current, list);
    EXPECT_EQ(r.error, error);
    EXPECT_EQ(r.message, message);
  }
}

}  // namespace
}  // namespace lxr4
