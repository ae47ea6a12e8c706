#include "imagefile/reduction_frame.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

FitsFrame SmallFrame() {
  FitsFrame f;
  f.width = 8;
  f.height = 4;
  f.values.assign(32, 1.0F);
  f.facts.exposure = 60;
  f.facts.imageType = "flat field";
  f.facts.binX = 4;
  return f;
}

TEST(ReductionFrame, TakesTheHeadersFacts) {
  const ReductionFrameResult r = ReductionFrameOf(SmallFrame(), "flat3.fits");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.frame.imageType, "FLAT");
  EXPECT_EQ(FrameShapeText(r.frame), "8 x 4 binned 4 x 1");
  EXPECT_EQ(r.frame.exposure, 60.0);
  EXPECT_EQ(r.frame.provenance, std::vector<std::string>{"flat3.fits"});
  FitsFrame last = SmallFrame();
  last.facts.binY = kMaxBinning;  // the last binning taken
  EXPECT_TRUE(ReductionFrameOf(last, "f").ok());
}

TEST(ReductionFrame, RefusesABinningThatIsNone) {
  for (double bin : {1.5, 0.0, kMaxBinning + 1.0}) {
    SCOPED_TRACE(bin);
    FitsFrame f = SmallFrame();
    f.facts.binY = bin;
    const ReductionFrameResult r = ReductionFrameOf(f, "dark.fits");
    EXPECT_EQ(r.error, ReductionFrameError::BadBinning);
    EXPECT_EQ(r.message, "dark.fits: the header's YBINNING is no binning from 1 to 64.");
  }
}

TEST(ReductionFrame, RefusesASectionOutsideTheFrame) {
  FitsFrame f = SmallFrame();
  f.facts.biasSection = "[8:9,1:4]";
  const ReductionFrameResult r = ReductionFrameOf(f, "bias.fits");
  EXPECT_EQ(r.error, ReductionFrameError::BadSection);
  EXPECT_EQ(r.message,
            "bias.fits: the header's BIASSEC: The section \"[8:9,1:4]\" lies outside the frame of 8 x 4 pixels.");
  f.facts.biasSection = "[7:8,1:4]";
  f.facts.trimSection = "1:6,1:4";
  EXPECT_EQ(ReductionFrameOf(f, "bias.fits").error, ReductionFrameError::BadSection);
}

}  // namespace
}  // namespace lxr4
