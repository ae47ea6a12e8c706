#include "reduce/combine.h"

#include <gtest/gtest.h>

#include <vector>

#include "synthetic_frames.h"

namespace lxr4 {
namespace {

// Frames of 3 x 2 pixels whose pixel (0, 0) takes the given values and whose
// other pixels are the frame's number.
std::vector<Frame> StackAt00(const std::vector<float>& values) {
  std::vector<Frame> frames;
  for (std::size_t i = 0; i < values.size(); ++i) {
    Frame f;
    f.width = 3;
    f.height = 2;
    f.values.assign(6, static_cast<float>(i));
    f.values[0] = values[i];
    frames.push_back(f);
  }
  return frames;
}

float Combine00(const std::vector<float>& values, const CombineOptions& o, long long* rejected = nullptr) {
  const CombineResult r = CombineFrames(StackAt00(values), o);
  EXPECT_TRUE(r.ok()) << r.message;
  if (rejected) *rejected = r.rejected;
  return r.ok() ? r.frame.values[0] : -1.0F;
}

TEST(Combine, MedianAndMeanOfKnownValues) {
  CombineOptions median;
  EXPECT_EQ(Combine00({5, 1, 9}, median), 5.0F);
  EXPECT_EQ(Combine00({4, 1, 9, 2}, median), 3.0F);  // mean of the middle two
  EXPECT_EQ(Combine00({7}, median), 7.0F);
  CombineOptions mean{CombineMethod::Mean, {}, 1};
  EXPECT_EQ(Combine00({4, 1, 9, 2}, mean), 4.0F);
}

TEST(Combine, SigmaClipRejectsACosmicRayAboutTheMedian) {
  CombineOptions clip{CombineMethod::SigmaClippedMean, {}, 1};
  long long rejected = 0;
  // Ten frames: the ray stands 3.3 standard deviations (taken with it) above the median.
  const float v = Combine00({10, 11, 9, 10, 12, 8, 10, 11, 9, 5000}, clip, &rejected);
  EXPECT_FLOAT_EQ(v, 10.0F);
  EXPECT_EQ(rejected, 1);
  // Five frames hide it from the standard deviation but not from the MAD.
  clip.clip.deviation = ClipDeviation::MadStd;
  EXPECT_FLOAT_EQ(Combine00({10, 11, 9, 10, 5000}, clip, &rejected), 10.0F);
  EXPECT_EQ(rejected, 1);
}

TEST(Combine, MorePassesRejectWhatTheFirstLeft) {
  // After the ray at 5000 goes, the one at 60 stands out.
  const std::vector<float> values{10, 11, 9, 10, 12, 8, 10, 11, 9, 10, 11, 9, 60, 5000};
  CombineOptions clip{CombineMethod::SigmaClippedMean, {}, 1};
  long long rejected = 0;
  EXPECT_GT(Combine00(values, clip, &rejected), 12.0F);
  EXPECT_EQ(rejected, 1);
  clip.clip.maxIterations = 5;
  EXPECT_FLOAT_EQ(Combine00(values, clip, &rejected), 10.0F);
  EXPECT_EQ(rejected, 2);
}

// As astropy's sigma_clip decides it: what is kept is what lies within the
// last pass's bounds. The first pass (median 10, MAD 3) rejects the 1; the
// second (median 11.5, MAD 4) widens the bounds to -0.4 .. 23.4, and it is back.
TEST(Combine, AValueRejectedComesBackWhenTheBoundsWiden) {
  CombineOptions clip{CombineMethod::SigmaClippedMean, {2.0, 2.0, ClipCentre::Median, ClipDeviation::MadStd, 5}, 1};
  long long rejected = -1;
  EXPECT_FLOAT_EQ(Combine00({18, 1, 7, 13, 8, 17, 10}, clip, &rejected), 74.0F / 7.0F);
  EXPECT_EQ(rejected, 0);
  clip.clip.maxIterations = 1;  // one pass: the 1 stays out
  EXPECT_FLOAT_EQ(Combine00({18, 1, 7, 13, 8, 17, 10}, clip, &rejected), 73.0F / 6.0F);
  EXPECT_EQ(rejected, 1);
}

TEST(Combine, PreparationSubtractsAndScalesOnTheWayIn) {
  std::vector<Frame> frames = StackAt00({110, 220});
  Frame offset = FrameLike(frames[0], 4.0F);
  Frame rate = FrameLike(frames[0], 2.0F);
  Preparation p;
  p.rowLevels = {{6.0F}, {6.0F, 16.0F}};  // one level for frame 1, one per row for frame 2
  p.offset = &offset;
  p.rate = &rate;
  p.seconds = {25.0, 50.0};
  p.scale = {1.0, 0.5};
  CombineOptions mean{CombineMethod::Mean, {}, 1};
  const CombineResult r = CombineFrames(frames, mean, p);
  ASSERT_TRUE(r.ok()) << r.message;
  // (110 - 6 - 4 - 50) = 50 and (220 - 6 - 4 - 100) x 0.5 = 55
  EXPECT_FLOAT_EQ(r.frame.values[0], 52.5F);
  // Row 2, column 1: (0 - 6 - 4 - 50) = -60 and (1 - 16 - 4 - 100) x 0.5 = -59.5
  EXPECT_FLOAT_EQ(r.frame.values[3], -59.75F);
}

TEST(Combine, ThreadsGiveTheSameValues) {
  test::Noise noise(7);
  std::vector<Frame> frames;
  for (int i = 0; i < 9; ++i) frames.push_back(test::BiasFrame(noise));
  for (CombineMethod method : {CombineMethod::Median, CombineMethod::Mean, CombineMethod::SigmaClippedMean}) {
    CombineOptions one{method, {}, 1};
    CombineOptions many{method, {}, 4};
    const CombineResult a = CombineFrames(frames, one);
    const CombineResult b = CombineFrames(frames, many);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(a.frame.values, b.frame.values);
    EXPECT_EQ(a.rejected, b.rejected);
  }
  EXPECT_EQ(ThreadsFor(8, 3), 3);
  EXPECT_GE(ThreadsFor(0, 100), 1);
}

TEST(Combine, RefusesWhatCannotBeCombined) {
  const std::vector<Frame> good = StackAt00({1, 2, 3});
  CombineOptions median;
  EXPECT_EQ(CombineFrames(std::span<const Frame>{}, median).error, CombineError::NoFrames);

  std::vector<Frame> frames = good;
  frames[1].values.pop_back();
  EXPECT_EQ(CombineFrames(frames, median).error, CombineError::EmptyFrame);

  frames = good;
  frames[2].width = 2;
  frames[2].values.resize(4);
  const CombineResult size = CombineFrames(frames, median);
  EXPECT_EQ(size.error, CombineError::SizeMismatch);
  EXPECT_EQ(size.message, "The frames differ in size: frame 1 is 3 x 2 binned 1 x 1; frame 3 is 2 x 2 binned 1 x 1.");

  frames = good;
  frames[1].binX = 2;
  EXPECT_EQ(CombineFrames(frames, median).error, CombineError::BinningMismatch);

  CombineOptions clip{CombineMethod::SigmaClippedMean, {}, 1};
  clip.clip.low = 0.0;
  EXPECT_EQ(CombineFrames(good, clip).error, CombineError::BadClip);
  clip.clip.low = 3.0;
  clip.clip.maxIterations = 0;
  EXPECT_EQ(CombineFrames(good, clip).error, CombineError::BadClip);

  Preparation p;
  p.scale = {1.0};
  EXPECT_EQ(CombineFrames(good, median, p).error, CombineError::BadPreparation);
  Frame small;
  small.width = small.height = 1;
  small.values = {0.0F};
  Preparation q;
  q.offset = &small;
  EXPECT_EQ(CombineFrames(good, median, q).error, CombineError::SizeMismatch);
}

}  // namespace
}  // namespace lxr4
