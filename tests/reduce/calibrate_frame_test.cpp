#include "reduce/calibrate_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "reduce/masters.h"
#include "synthetic_frames.h"

namespace lxr4 {
namespace {

using test::kHeight;
using test::kWidth;

struct Night {
  MasterBuilt bias, dark, flat;
};

Night MakeNight(test::Noise& noise) {
  std::vector<Frame> biases, darks, flats;
  for (int i = 0; i < 15; ++i) biases.push_back(test::BiasFrame(noise));
  for (int i = 0; i < 10; ++i) darks.push_back(test::DarkFrame(noise, 300.0));
  for (int i = 0; i < 9; ++i) flats.push_back(test::FlatFrame(noise, 5.0, 1.0 - 0.03 * i));
  Night n;
  MasterResult bias = MakeMasterBias(biases, CombineOptions{});
  EXPECT_TRUE(bias.ok());
  MasterResult dark = MakeMasterDark(darks, &bias.frame, CombineOptions{CombineMethod::SigmaClippedMean, {}, 2});
  EXPECT_TRUE(dark.ok());
  MasterResult flat = MakeMasterFlat(flats, &bias.frame, &dark.frame, CombineOptions{}, FlatOptions{});
  EXPECT_TRUE(flat.ok()) << flat.message;
  n.bias = bias;
  n.dark = dark;
  n.flat = flat;
  return n;
}

// The spread of calibrated / true about its mean, and that mean.
std::pair<double, double> RatioSpread(const Frame& f) {
  double sum = 0.0, squares = 0.0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) sum += f.at(x, y) / test::ObjectAt(x, y);
  const double mean = sum / static_cast<double>(f.pixels());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) squares += std::pow(f.at(x, y) / test::ObjectAt(x, y) - mean, 2);
  return {mean, std::sqrt(squares / static_cast<double>(f.pixels()))};
}

TEST(CalibrateFrame, GivesTheObjectWithinTheNoise) {
  test::Noise noise(11);
  const Night night = MakeNight(noise);
  CalibrationMasters m;
  m.bias = &night.bias.frame;
  m.darkRate = &night.dark.frame;
  m.flat = &night.flat.frame;
  // Without read noise in the object, what is left is the masters' own noise
  // (about 2 counts in 500 to 800) and the flat's shape left by the smoothing.
  const CalibrateResult clean = CalibrateFrame(test::ObjectFrame(noise, 100.0, 0.0), m);
  ASSERT_TRUE(clean.ok()) << clean.message;
  const auto [scale, spread] = RatioSpread(clean.frame);
  EXPECT_NEAR(scale, 1.0, 0.01);
  EXPECT_LT(spread, 0.006);
  // With 5 counts of read noise: about 1 per cent more, no bias.
  const CalibrateResult noisy = CalibrateFrame(test::ObjectFrame(noise, 100.0), m);
  ASSERT_TRUE(noisy.ok());
  const auto [noisyScale, noisySpread] = RatioSpread(noisy.frame);
  EXPECT_NEAR(noisyScale, scale, 0.002);
  EXPECT_LT(noisySpread, 0.012);
  // Without the flat the pixel response stays: several times the spread.
  m.flat = nullptr;
  const CalibrateResult unflat = CalibrateFrame(test::ObjectFrame(noise, 100.0, 0.0), m);
  EXPECT_GT(RatioSpread(unflat.frame).second, 3 * spread);
  EXPECT_EQ(clean.frame.provenance.back(), "divided by the master flat");
}

TEST(CalibrateFrame, SubtractsTheOverscanAndTrims) {
  // Columns 91..96 are overscan; the level drifts down the rows.
  Frame raw = test::MakeFrame("OBJECT", 10.0, [](int x, int y) { return 200.0 + y + (x < 90 ? x * y : 0.0); });
  CalibrationMasters m;
  m.overscan.region = ParseSection("[91:96,*]", kWidth, kHeight).section;
  m.overscan.perRow = true;
  m.trim = ParseSection("[1:90,2:40]", kWidth, kHeight).section;
  const CalibrateResult rows = CalibrateFrame(raw, m);
  ASSERT_TRUE(rows.ok()) << rows.message;
  EXPECT_EQ(rows.frame.width, 90);
  EXPECT_EQ(rows.frame.height, 39);
  for (int y = 0; y < 39; ++y)
    for (int x = 0; x < 90; ++x) ASSERT_EQ(rows.frame.at(x, y), static_cast<float>(x * (y + 1)));
  // One level for the whole frame: the median of rows 0..39, 219.5 (between 219 and 220).
  m.overscan.perRow = false;
  const CalibrateResult one = CalibrateFrame(raw, m);
  ASSERT_TRUE(one.ok());
  EXPECT_EQ(one.frame.at(5, 0), static_cast<float>(201 + 5 - 219.5));
}

TEST(CalibrateFrame, RefusesMastersThatDoNotFit) {
  test::Noise noise(12);
  const Frame object = test::ObjectFrame(noise, 60.0);
  Frame flat = test::MakeFrame("FLAT", 1.0, [](int, int) { return 1.0; });
  CalibrationMasters m;
  EXPECT_EQ(CalibrateFrame(Frame{}, m).error, CalibrateError::EmptyFrame);

  Frame big;
  big.width = 2048;
  big.height = 512;
  big.imageType = "FLAT";
  big.values.assign(big.pixels(), 1.0F);
  Frame small = test::MakeFrame("OBJECT", 1.0, [](int, int) { return 0.0; });
  small.width = 1024;
  small.height = 256;
  small.binX = small.binY = 2;
  small.values.assign(small.pixels(), 0.0F);
  m.flat = &big;
  const CalibrateResult shape = CalibrateFrame(small, m);
  EXPECT_EQ(shape.error, CalibrateError::ShapeMismatch);
  EXPECT_EQ(shape.message, "The flat is 2048 x 512 binned 1 x 1; this frame is 1024 x 256 binned 2 x 2.");

  m.flat = &flat;
  Frame bias = test::BiasFrame(noise);
  bias.binX = 2;
  m.bias = &bias;
  EXPECT_EQ(CalibrateFrame(object, m).error, CalibrateError::ShapeMismatch);

  m.bias = nullptr;
  Frame notDark = flat;  // a flat given as the dark
  m.darkRate = &notDark;
  const CalibrateResult kind = CalibrateFrame(object, m);
  EXPECT_EQ(kind.error, CalibrateError::WrongType);
  EXPECT_EQ(kind.message, "The dark given is a FLAT frame, not a DARK frame.");
  m.darkRate = nullptr;
  Frame aBias = object;
  aBias.imageType = "zero";
  EXPECT_EQ(CalibrateFrame(aBias, m).error, CalibrateError::WrongType);

  Frame dark = test::MakeFrame("DARK", 1.0, [](int, int) { return 0.5; });
  m.darkRate = &dark;
  Frame noTime = object;
  noTime.exposure.reset();
  EXPECT_EQ(CalibrateFrame(noTime, m).error, CalibrateError::NoExposure);

  m.overscan.region = Section{90, 100, 1, 40};
  EXPECT_EQ(CalibrateFrame(object, m).error, CalibrateError::BadSection);
  m.overscan.region.reset();
  m.trim = Section{1, 96, 1, 41};
  EXPECT_EQ(CalibrateFrame(object, m).error, CalibrateError::BadSection);
  m.trim = Section{1, 96, 1, 40};  // the last valid trim
  EXPECT_TRUE(CalibrateFrame(object, m).ok());
}

TEST(ImageType, ReadsTheCommonSynonyms) {
  EXPECT_EQ(NormalImageType(" Bias Frame "), "BIAS");
  EXPECT_EQ(NormalImageType("zero"), "BIAS");
  EXPECT_EQ(NormalImageType("Light Frame"), "OBJECT");
  EXPECT_EQ(NormalImageType("comp"), "ARC");
  EXPECT_EQ(NormalImageType("Flat Field"), "FLAT");
  EXPECT_EQ(NormalImageType("focus"), "FOCUS");
  EXPECT_EQ(NormalImageType("   "), "");
}

}  // namespace
}  // namespace lxr4
