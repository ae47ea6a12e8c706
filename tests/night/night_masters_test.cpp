// Masters from named frames and master files read back through the decoder.
#include "night/night_masters.h"

#include <gtest/gtest.h>

#include <cmath>

#include "night_test_support.h"

namespace lxr4 {
namespace {

using testing::Named;
using testing::SyntheticNight;

constexpr const char* kDecoder = LXR4_FITS_DECODER;

testing::NightRecipe Small() {
  testing::NightRecipe r;
  r.width = 60;
  r.height = 40;
  r.overscan = 8;
  return r;
}

TEST(NightMasters, BiasOfFramesIsTheirPatternLessTheOverscan) {
  const SyntheticNight night(Small());
  std::vector<FitsFrame> biases;
  for (int i = 0; i < 9; ++i) biases.push_back(night.Bias(i));
  MasterRequest request;
  request.combine = CombineChoice::Median;
  const MasterResult m = BuildMaster(Named(biases, "bias"), request);
  ASSERT_TRUE(m.ok()) << m.message;
  EXPECT_EQ(m.frame.imageType, "BIAS");
  EXPECT_EQ(m.frame.width, 68);  // a master keeps the overscan; the frames it calibrates are trimmed by it
  ASSERT_FALSE(m.frame.provenance.empty());
  EXPECT_EQ(m.frame.provenance.front(), "master bias of 9 frames: bias1.fits, bias2.fits, bias3.fits, bias4.fits, "
                                        "bias5.fits, bias6.fits, bias7.fits, bias8.fits, bias9.fits");
  // The overscan level is gone: what is left is the pattern (0..6 about 0) and noise.
  double sum = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) sum += m.frame.at(x, y);
  EXPECT_NEAR(sum / (60 * 40), 0, 0.6);
}

TEST(NightMasters, RefusalsNameTheFileAtFault) {
  const SyntheticNight night(Small());
  MasterRequest request;
  std::vector<NamedFits> frames = Named({night.Bias(0), night.Dark(1), night.Bias(2)}, "f");
  MasterResult m = BuildMaster(frames, request);
  EXPECT_EQ(m.error, MasterError::WrongType);
  EXPECT_EQ(m.message, "f2.fits is a DARK frame, not a BIAS frame.");

  frames = Named({night.Bias(0), night.Bias(1)}, "b");
  frames[1].frame.facts.biasSection = "[61:64,1:40]";
  m = BuildMaster(frames, request);
  EXPECT_EQ(m.error, MasterError::BadOverscan);
  EXPECT_EQ(m.message, "b2.fits's overscan (BIASSEC) is [61:64,1:40]; b1.fits's is [61:68,1:40].");

  request.kind = MasterKind::Dark;
  frames = Named({night.Dark(0), night.Dark(1)}, "d");
  frames[1].frame.facts.exposure.reset();
  m = BuildMaster(frames, request);
  EXPECT_EQ(m.error, MasterError::NoExposure);
  EXPECT_EQ(m.message, "d2.fits has no exposure time above 0 seconds.");

  frames = Named({night.Dark(0), SyntheticNight(testing::NightRecipe{}).Dark(1)}, "d");
  m = BuildMaster(frames, request);
  EXPECT_EQ(m.error, MasterError::SizeMismatch);
  EXPECT_EQ(m.message, "d2.fits is 616 x 200 binned 1 x 1; d1.fits is 68 x 40 binned 1 x 1.");

  frames[1].frame.facts.trimSection = "[1:900,1:40]";
  m = BuildMaster(frames, request);
  EXPECT_EQ(m.error, MasterError::BadOverscan);
  EXPECT_NE(m.message.find("d2.fits: the header's TRIMSEC"), std::string::npos) << m.message;

  EXPECT_EQ(BuildMaster({}, request).error, MasterError::NoFrames);
}

TEST(NightMasters, FileRoundTripsThroughTheDecoder) {
  const SyntheticNight night(Small());
  std::vector<FitsFrame> biases, darks;
  for (int i = 0; i < 3; ++i) {
    biases.push_back(night.Bias(i));
    darks.push_back(night.Dark(i));
  }
  MasterRequest request;
  const MasterResult bias = BuildMaster(Named(biases, "b"), request);
  request.kind = MasterKind::Dark;
  request.bias = &bias.frame;
  MasterResult dark = BuildMaster(Named(darks, "d"), request);
  ASSERT_TRUE(dark.ok()) << dark.message;
  dark.frame.binX = 2;  // written and read back
  dark.frame.provenance.emplace_back(std::string(150, 'x'));  // a long line runs over several cards

  const std::vector<std::uint8_t> bytes = MasterFileBytes(dark.frame, MasterKind::Dark, 3);
  ASSERT_FALSE(bytes.empty());
  const FitsReadResult read = ReadFitsFrame(bytes, kDecoder);
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_EQ(read.frame.bitpix, -32);
  EXPECT_EQ(read.frame.facts.imageType, "MASTER DARK");
  ASSERT_TRUE(read.frame.facts.exposure);
  EXPECT_EQ(*read.frame.facts.exposure, 1.0);

  const auto back = MasterFromFits(read.frame, "master-dark.fits", MasterKind::Dark);
  ASSERT_TRUE(back.ok()) << back.message;
  EXPECT_EQ(back.frame.imageType, "DARK");
  EXPECT_EQ(back.frame.binX, 2);
  EXPECT_EQ(back.frame.values, dark.frame.values);  // floats written as floats: exact
  EXPECT_EQ(back.frame.provenance, std::vector<std::string>{"master-dark.fits"});

  const auto wrong = MasterFromFits(read.frame, "master-dark.fits", MasterKind::Flat);
  EXPECT_EQ(wrong.error, MasterFileError::WrongKind);
  EXPECT_EQ(wrong.message, "master-dark.fits is not a master flat: its IMAGETYP is \"MASTER DARK\", not \"MASTER FLAT\".");
  FitsFrame plain = read.frame;
  plain.facts.imageType.clear();
  EXPECT_EQ(MasterFromFits(plain, "x.fits", MasterKind::Dark).error, MasterFileError::WrongKind);
  plain.facts.imageType = "dark";
  plain.facts.binY = 0.5;
  EXPECT_EQ(MasterFromFits(plain, "x.fits", MasterKind::Dark).error, MasterFileError::BadHeader);
}

}  // namespace
}  // namespace lxr4
