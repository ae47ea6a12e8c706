// The automatic calibration's model choice, its checks, the figures every fit
// reports, and where a calibration is extrapolated.
#include "calibration/model_choice.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lxr4 {
namespace {

// Lines on `curve` at `columns` of a 2048-pixel detector, each moved by `noise` times a fixed pattern.
LineSet OnCurve(double (*curve)(double), const std::vector<float>& columns, double noise = 0) {
  LineSet lines;
  int k = 0;
  for (const float c : columns) lines.push_back({curve(c) + noise * ((k++ % 3) - 1), c, "", true});
  return lines;
}
double Cubic(double p) {
  const double t = p - 1024.5;
  return 5900 + 1.55 * t + 3e-5 * t * t - 4e-9 * t * t * t;
}
double Straight(double p) { return 4000 + 2 * p; }
const std::vector<float> kSpread{40,   170,  333,  480,  610,  777,  901, 1040,
                                 1222, 1390, 1500, 1650, 1811, 1930, 2010};

const FitOptions kDetector{.pixels = 2048};

TEST(ChooseModel, TakesTheOrderTheLeftOutLinesAskFor) {
  const ModelChoice cubic = ChooseModel(OnCurve(Cubic, kSpread, 0.01), {}, 9, kDetector);
  ASSERT_TRUE(cubic.fit.ok()) << cubic.fit.message;
  EXPECT_EQ(cubic.fit.calibration.kind, FitKind::Polynomial);
  EXPECT_EQ(cubic.fit.calibration.polynomial.order, 3);
  EXPECT_LT(cubic.polynomial[3], 0.1 * cubic.polynomial[2]);
  const ModelChoice line = ChooseModel(OnCurve(Straight, kSpread, 0.01), {}, 9, kDetector);
  EXPECT_TRUE(line.fit.ok() && line.fit.calibration.polynomial.order == 1) << line.fit.message;
  // The LXR-4's grating cannot give 1.55 A per pixel over 2048 pixels: never chosen here.
  EXPECT_TRUE(!std::isfinite(cubic.grating) || cubic.grating > cubic.polynomial[3]);
}

// Lines the LXR-4's grating gives: its model, with two parameters, is chosen.
TEST(ChooseModel, TakesTheGratingWhereItFitsAsWell) {
  FittedCalibration grating;
  grating.grating.pixelWidth = 9;
  grating.grating.parameters = {53.71069, 9.75531, 381, false};
  LineSet lines;
  for (const float c : {20.0f, 95.5f, 180.0f, 260.0f, 333.0f, 410.0f, 480.0f, 555.0f, 640.0f, 700.0f, 760.0f})
    lines.push_back({FittedWavelength(grating, c), c, "", true});
  const ModelChoice choice = ChooseModel(lines, InstrumentSettings{}, 9, FitOptions{});
  ASSERT_TRUE(choice.fit.ok()) << choice.fit.message;
  EXPECT_EQ(choice.fit.calibration.kind, FitKind::Grating);
  EXPECT_LT(choice.fit.rmsPixels, 0.01);
}

TEST(ChooseModel, ClipsAWrongLineButNotOneATenthOfAPixelOff) {
  LineSet lines = OnCurve(Cubic, kSpread);
  lines[4].wavelength += 0.1 * 1.55;  // a tenth of a pixel: kept
  lines[9].wavelength += 3 * 1.55;    // three pixels: clipped
  const ModelChoice choice = ChooseModel(lines, {}, 9, kDetector);
  ASSERT_TRUE(choice.fit.ok());
  EXPECT_FALSE(choice.fit.lines[4].clipped);
  EXPECT_TRUE(choice.fit.lines[9].clipped);
  EXPECT_LT(choice.fit.rmsPixels, 0.05);
}

TEST(FitFigures, RmsInPixelsAndTheLinesShareOfTheDetector) {
  const FitResult fit = FitPolynomial(OnCurve(Cubic, {512, 700, 900, 1100, 1400, 1535}, 0.155), 3, kDetector);
  ASSERT_TRUE(fit.ok());
  EXPECT_NEAR(fit.coverage, (1535.0 - 512) / 2047, 1e-12);
  EXPECT_NEAR(fit.rmsPixels, fit.rms / 1.55, 0.05 * fit.rmsPixels);
  EXPECT_EQ(fit.calibration.firstLine, 512);
  EXPECT_EQ(fit.calibration.lastLine, 1535);
}

TEST(AutomaticFitProblem, RefusesFewLinesAndAPoorFit) {
  EXPECT_FALSE(AutomaticFitProblem(ChooseModel(OnCurve(Cubic, kSpread), {}, 9, kDetector).fit));
  const FitResult few = FitPolynomial(OnCurve(Straight, {100, 900, 1700}), 1, kDetector);
  ASSERT_TRUE(few.ok());
  EXPECT_EQ(*AutomaticFitProblem(few), "only 3 lines were identified; at least 4 are needed");
  const FitResult poor = FitPolynomial(OnCurve(Straight, kSpread, 2.0), 1, kDetector);  // a pixel off
  ASSERT_TRUE(poor.ok());
  EXPECT_NE(AutomaticFitProblem(poor)->find("disagree"), std::string::npos);
}

TEST(Extrapolated, BeyondATenthOfTheDetectorPastTheOutermostLines) {
  FittedCalibration c;
  c.pixels = 2000;
  EXPECT_FALSE(Extrapolated(c, 1));  // lines not known
  EXPECT_EQ(ExtrapolationWarning(c), "");
  c.firstLine = 800;
  c.lastLine = 1200;
  const std::vector<bool> outside{Extrapolated(c, 599), Extrapolated(c, 600), Extrapolated(c, 1400),
                                  Extrapolated(c, 1401)};
  EXPECT_EQ(outside, (std::vector<bool>{true, false, false, true}));
  EXPECT_EQ(ExtrapolationWarning(c),
            "The lines of this calibration cover pixels 800 to 1200 of 2000 (20% of the detector): its "
            "wavelengths further out are extrapolated and may be far off.");
  c.firstLine = 150;
  c.lastLine = 1850;
  EXPECT_EQ(ExtrapolationWarning(c), "");
}

}  // namespace
}  // namespace lxr4
