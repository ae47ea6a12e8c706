#include "reduce/masters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "synthetic_frames.h"

namespace lxr4 {
namespace {

using test::kHeight;
using test::kWidth;

template <typename F>
std::vector<Frame> Frames(int count, F make) {
  std::vector<Frame> frames;
  for (int i = 0; i < count; ++i) frames.push_back(make(i));
  return frames;
}

// The mean and the root mean square of master - truth over the frame.
template <typename F>
std::pair<double, double> Error(const Frame& f, F truth) {
  double sum = 0.0, squares = 0.0;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x) {
      const double e = static_cast<double>(f.at(x, y)) - truth(x, y);
      sum += e;
      squares += e * e;
    }
  const auto n = static_cast<double>(f.pixels());
  return {sum / n, std::sqrt(squares / n)};
}

TEST(MasterBias, IsTheBiasPatternWithinTheNoiseOfTheMedian) {
  test::Noise noise(1);
  const std::vector<Frame> biases = Frames(15, [&](int) { return test::BiasFrame(noise); });
  const MasterResult m = MakeMasterBias(biases, CombineOptions{});
  ASSERT_TRUE(m.ok()) << m.message;
  EXPECT_EQ(m.frame.imageType, "BIAS");
  const auto [mean, rms] = Error(m.frame, test::BiasAt);
  // The median of 15 has about 1.25 x 5 / sqrt(15) = 1.6 counts of noise.
  EXPECT_NEAR(mean, 0.0, 0.1);
  EXPECT_NEAR(rms, 1.6, 0.2);
}

TEST(MasterDark, IsTheDarkCurrentPerSecondFromExposuresOfAnyLength) {
  test::Noise noise(2);
  const std::vector<Frame> biases = Frames(15, [&](int) { return test::BiasFrame(noise); });
  const MasterResult bias = MakeMasterBias(biases, CombineOptions{});
  ASSERT_TRUE(bias.ok());
  const std::vector<Frame> darks = Frames(12, [&](int i) { return test::DarkFrame(noise, i % 2 ? 60.0 : 120.0); });
  const CombineOptions clip{CombineMethod::SigmaClippedMean, {}, 1};
  const MasterResult dark = MakeMasterDark(darks, &bias.frame, clip);
  ASSERT_TRUE(dark.ok()) << dark.message;
  EXPECT_EQ(dark.frame.imageType, "DARK");
  const auto [mean, rms] = Error(dark.frame, test::DarkAt);
  // Each dark's noise is 5 counts over 60 or 120 s, about 0.06 /s in the mean
  // of 12, plus the bias's 1.6 counts over 60 to 120 s.
  EXPECT_NEAR(mean, 0.0, 0.02);
  EXPECT_LT(rms, 0.05);
  EXPECT_NEAR(dark.frame.at(10, 20), 20.0, 0.15);  // the hot column
  EXPECT_EQ(dark.frame.provenance,
            (std::vector<std::string>{"bias subtracted",
                                      "sigma-clipped mean (3 low, 3 high about the median, standard deviation, 1 pass) "
                                      "of 12 frames",
                                      "master dark in counts per second"}));
}

// Flats of a lamp whose colour runs along the rows, the slit lighting rows
// 6..40 only; each flat a little brighter than the last.
std::vector<Frame> Flats(test::Noise& noise, int count) {
  return Frames(count, [&](int i) {
    Frame f = test::FlatFrame(noise, 10.0, 1.0 + 0.02 * i);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < kWidth; ++x)
        f.values[f.index(x, y)] = static_cast<float>(test::BiasAt(x, y) + test::DarkAt(x, y) * 10.0);
    return f;
  });
}

TEST(MasterFlat, KeepsThePixelResponseAndNotTheLampColour) {
  test::Noise noise(3);
  const std::vector<Frame> biases = Frames(9, [&](int) { return test::BiasFrame(noise); });
  const MasterResult bias = MakeMasterBias(biases, CombineOptions{});
  const std::vector<Frame> darks = Frames(9, [&](int) { return test::DarkFrame(noise, 100.0); });
  const MasterResult dark = MakeMasterDark(darks, &bias.frame, CombineOptions{});
  ASSERT_TRUE(bias.ok() && dark.ok());
  FlatOptions options;
  options.slitFirst = 6;
  const MasterResult flat = MakeMasterFlat(Flats(noise, 9), &bias.frame, &dark.frame, CombineOptions{}, options);
  ASSERT_TRUE(flat.ok()) << flat.message;
  EXPECT_EQ(flat.floored, 5 * kWidth);  // the unlit rows
  EXPECT_EQ(flat.frame.provenance.back(), "normalised to mean 1 over the lit pixels; 480 pixels below 0.1 set to 1");
  double lit = 0.0;
  for (int y = 5; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) lit += flat.frame.at(x, y);
  EXPECT_NEAR(lit / ((kHeight - 5) * kWidth), 1.0, 1e-5);
  for (int x = 0; x < kWidth; ++x) EXPECT_EQ(flat.frame.at(x, 0), 1.0F);
  // The lamp runs from 0.3 to 1 along the rows; the response stays within its
  // few per cent of 1 everywhere: the colour is gone.
  const double scale = [&] {
    double s = 0.0;
    for (int y = 5; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) s += test::ResponseAt(x, y);
    return s / ((kHeight - 5) * kWidth);
  }();
  const auto [mean, rms] = Error(flat.frame, [&](int x, int y) { return y < 5 ? 1.0 : test::ResponseAt(x, y) / scale; });
  EXPECT_NEAR(mean, 0.0, 1e-3);
  EXPECT_LT(rms, 0.004);
}

TEST(MasterFlat, FindsTheShapeAlongColumnsToo) {
  // A lamp colour down the rows and no pixel response: the flat is 1 within the noise.
  test::Noise noise(4);
  const std::vector<Frame> flats = Frames(5, [&](int) {
    return test::MakeFrame("FLAT", 1.0, [&](int, int y) { return 10000.0 * (1.0 + y / 20.0) + noise.Normal(10.0); });
  });
  FlatOptions options;
  options.axis = DispersionAlong::Columns;
  options.smoothWidth = 5;
  const MasterResult flat = MakeMasterFlat(flats, nullptr, nullptr, CombineOptions{}, options);
  ASSERT_TRUE(flat.ok()) << flat.message;
  EXPECT_EQ(flat.floored, 0);
  const auto [mean, rms] = Error(flat.frame, [](int, int) { return 1.0; });
  EXPECT_NEAR(mean, 0.0, 1e-4);
  EXPECT_LT(rms, 1e-3);
}

TEST(Masters, RefuseWhatCannotMakeThem) {
  test::Noise noise(5);
  const std::vector<Frame> biases = Frames(3, [&](int) { return test::BiasFrame(noise); });
  const std::vector<Frame> darks = Frames(3, [&](int) { return test::DarkFrame(noise, 30.0); });
  const CombineOptions median;
  EXPECT_EQ(MakeMasterBias({}, median).error, MasterError::NoFrames);

  std::vector<Frame> bad = biases;
  bad[1].values.clear();
  EXPECT_EQ(MakeMasterBias(bad, median).error, MasterError::EmptyFrame);

  bad = biases;
  bad[2].binY = 2;
  EXPECT_EQ(MakeMasterBias(bad, median).error, MasterError::BinningMismatch);

  Frame halfBias = biases[0];
  halfBias.width = kWidth / 2;
  halfBias.values.resize(halfBias.pixels());
  const MasterResult size = MakeMasterDark(darks, &halfBias, median);
  EXPECT_EQ(size.error, MasterError::SizeMismatch);
  EXPECT_EQ(size.message, "The bias is 48 x 40 binned 1 x 1; the dark frames are 96 x 40 binned 1 x 1.");

  const MasterResult type = MakeMasterBias(darks, median);
  EXPECT_EQ(type.error, MasterError::WrongType);
  EXPECT_EQ(type.message, "Bias frame 1 is a DARK frame, not a BIAS frame.");

  bad = darks;
  bad[1].exposure.reset();
  EXPECT_EQ(MakeMasterDark(bad, nullptr, median).error, MasterError::NoExposure);
  bad[1].exposure = 0.0;
  EXPECT_EQ(MakeMasterDark(bad, nullptr, median).error, MasterError::NoExposure);

  Overscan outside;
  outside.region = Section{90, 97, 1, 40};
  EXPECT_EQ(MakeMasterBias(biases, median, outside).error, MasterError::BadOverscan);

  CombineOptions clip{CombineMethod::SigmaClippedMean, {}, 1};
  clip.clip.high = -1.0;
  EXPECT_EQ(MakeMasterBias(biases, clip).error, MasterError::BadOptions);

  const std::vector<Frame> flats = Frames(3, [&](int) { return test::FlatFrame(noise, 10.0, 1.0); });
  FlatOptions even;
  even.smoothWidth = 4;
  EXPECT_EQ(MakeMasterFlat(flats, nullptr, nullptr, median, even).error, MasterError::BadOptions);
  FlatOptions slit;
  slit.slitLast = kHeight + 1;
  EXPECT_EQ(MakeMasterFlat(flats, nullptr, nullptr, median, slit).error, MasterError::BadOptions);

  const MasterResult darkRate = MakeMasterDark(darks, nullptr, median);
  ASSERT_TRUE(darkRate.ok());
  bad = flats;
  bad[0].exposure.reset();
  EXPECT_EQ(MakeMasterFlat(bad, nullptr, &darkRate.frame, median, {}).error, MasterError::NoExposure);

  // Flats of the bias alone: nothing left once it is subtracted.
  const MasterResult bias = MakeMasterBias(biases, median);
  ASSERT_TRUE(bias.ok());
  std::vector<Frame> dim(3, bias.frame);
  for (Frame& f : dim) f.imageType = "FLAT";
  EXPECT_EQ(MakeMasterFlat(dim, &bias.frame, nullptr, median, {}).error, MasterError::FlatTooFaint);
}

}  // namespace
}  // namespace lxr4
