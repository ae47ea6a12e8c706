// A synthetic night from raw frames to spectra against its known spectrum:
// masters, calibration, cosmic rays, trace, boxcar and optimal extraction,
// and a stack of shifted frames.
#include "night/night_frame.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "night_test_support.h"

namespace lxr4 {
namespace {

using testing::MedianError;
using testing::SyntheticNight;

NightExtraction Extraction(ExtractionChoice method) {
  NightExtraction e;
  e.method = method;
  e.halfWidth = 8;  // four sigma of the profile: the aperture holds all but 6e-5 of the light
  e.sky.offset = 12;
  e.sky.width = 10;
  e.cosmicRays = true;
  e.gain = 1;
  e.readNoise = 5;
  return e;
}

const SyntheticNight& Night() {
  static const SyntheticNight night;
  return night;
}
const NightMasters& Masters() {
  static const NightMasters masters = testing::MastersOf(Night());
  return masters;
}

TEST(NightFrame, SpectrumMatchesTheTruthThroughMastersRaysAndExtraction) {
  for (const ExtractionChoice method : {ExtractionChoice::Boxcar, ExtractionChoice::Optimal}) {
    const NightFrameResult r =
        ReduceNightFrame(Night().Object(0), "obj1.fits", Masters(), Extraction(method), true, false);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_TRUE(r.traced);
    EXPECT_EQ(r.frame.width, 600);  // trimmed
    EXPECT_EQ(r.frame.height, 200);
    EXPECT_TRUE(r.frame.facts.trimSection.empty());
    EXPECT_EQ(r.frame.facts.imageType, "OBJECT");
    EXPECT_GE(r.cosmicRays, 40);  // 40 rays, a third of them two pixels long
    EXPECT_NEAR(r.trace.Centre(300), Night().Centre(300), 0.05);
    ASSERT_EQ(r.spectrum.flux.size(), 600U);
    const double error = MedianError(r.spectrum.flux, Night());
    std::printf("%s: median |extracted / true - 1| = %.5f\n", method == ExtractionChoice::Boxcar ? "boxcar" : "optimal",
                error);
    EXPECT_LT(error, 0.005);
    ASSERT_GE(r.provenance.size(), 8U);
    EXPECT_EQ(r.provenance[0], "obj1.fits");
    EXPECT_EQ(r.provenance[1], "overscan [601:616,1:200] subtracted");
    EXPECT_EQ(r.provenance[2].rfind("bias subtracted: master bias of 5 frames: bias1.fits, ", 0), 0U);
    EXPECT_EQ(r.provenance[3].rfind("dark subtracted for the exposure: master dark of 5 frames", 0), 0U);
    EXPECT_EQ(r.provenance[4].rfind("flat-fielded: master flat of 5 frames", 0), 0U);
    EXPECT_EQ(r.provenance[5], "trimmed to [1:600,1:200]");
    EXPECT_EQ(r.provenance[6], "cosmic rays: " + std::to_string(r.cosmicRays) + " pixels");
    EXPECT_EQ(r.provenance[7].rfind("trace: order 2, rms ", 0), 0U);
  }
}

// The frame turned: raw columns become rows (its sections too).
FitsFrame Turned(const FitsFrame& f) {
  FitsFrame t = f;
  t.width = f.height;
  t.height = f.width;
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      t.values[static_cast<std::size_t>(x) * static_cast<std::size_t>(t.width) + static_cast<std::size_t>(y)] =
          f.at(x, y);
  t.facts.biasSection = "[1:200,601:616]";
  t.facts.trimSection = "[1:200,1:600]";
  return t;
}

// The cosmic-ray detector alone takes a bright trace's wings for rays (a
// peak of 60000 here); on the trace only what stands out along the
// dispersion too is replaced.
TEST(NightFrame, BrightTraceIsNoCosmicRay) {
  testing::NightRecipe recipe;
  recipe.cosmicRays = 0;
  const SyntheticNight night(recipe);
  const NightFrameResult r =
      ReduceNightFrame(night.Object(0), "o.fits", Masters(), Extraction(ExtractionChoice::Boxcar), true, false);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_LT(r.cosmicRays, 100);  // a few on the sharpest sky lines, none on the trace
  EXPECT_LT(MedianError(r.spectrum.flux, night), 0.005);
}

TEST(NightFrame, DispersionDownTheColumnsGivesTheSameSpectrum) {
  NightExtraction e = Extraction(ExtractionChoice::Optimal);
  e.cosmicRays = false;
  const NightFrameResult rows = ReduceNightFrame(Night().Object(1), "a.fits", {}, e, true, false);
  ASSERT_TRUE(rows.ok()) << rows.message;
  const FitsFrame t = Turned(Night().Object(1));
  const NightFrameResult columns = ReduceNightFrame(t, "a.fits", {}, e, true, true);
  ASSERT_TRUE(columns.ok()) << columns.message;
  EXPECT_TRUE(columns.alongColumns);
  EXPECT_EQ(columns.frame.width, 200);
  EXPECT_EQ(columns.frame.height, 600);
  EXPECT_EQ(columns.spectrum.flux, rows.spectrum.flux);
}

TEST(NightFrame, StackOfShiftedFramesWithRaysMatchesTheTruth) {
  for (const CombineChoice choice : {CombineChoice::SigmaClip, CombineChoice::Median}) {
    NightExtraction single = Extraction(ExtractionChoice::Swath);
    std::vector<NightFrame> frames;
    const double shifts[3] = {0, 3.4, -2.2};
    for (int i = 0; i < 3; ++i) {
      NightFrameResult r = ReduceNightFrame(Night().Object(10 + i, 300, shifts[i]), "s" + std::to_string(i + 1) + ".fits",
                                            Masters(), single, true, false);
      ASSERT_TRUE(r.ok()) << r.message;
      EXPECT_FALSE(r.traced);
      frames.push_back(std::move(r));
    }
    NightExtraction e = Extraction(ExtractionChoice::Optimal);
    e.stack = choice;
    const NightFrameResult stack = StackNightFrames(frames, e, false);
    ASSERT_TRUE(stack.ok()) << stack.message;
    EXPECT_EQ(stack.stacked, 3);
    ASSERT_TRUE(stack.frame.facts.exposure);
    EXPECT_EQ(*stack.frame.facts.exposure, 900);
    // The first frame's trace, blurred by the others' parts of a pixel left after the whole-pixel shifts.
    EXPECT_NEAR(stack.trace.Centre(300), Night().Centre(300), 0.15);
    const double error = MedianError(stack.spectrum.flux, Night());
    std::printf("stack (%s): median |extracted / true - 1| = %.5f\n",
                choice == CombineChoice::Median ? "median" : "clipped mean", error);
    EXPECT_LT(error, 0.005);
    ASSERT_FALSE(stack.provenance.empty());
    EXPECT_EQ(stack.provenance.front(), "stack of 3 frames: s1.fits, s2.fits, s3.fits, total exposure 900 s");
    EXPECT_NE(std::find(stack.provenance.begin(), stack.provenance.end(), "shifted across the slit by 0, -3, +2 px"),
              stack.provenance.end());
  }
}

TEST(NightFrame, StackDownTheColumnsGivesTheSameSpectrum) {
  NightExtraction e = Extraction(ExtractionChoice::Swath);
  e.cosmicRays = false;
  std::vector<NightFrame> rows, columns;
  for (int i = 0; i < 2; ++i) {
    const FitsFrame raw = Night().Object(20 + i, 300, 2.6 * i);
    rows.push_back(ReduceNightFrame(raw, "r.fits", {}, e, true, false));
    columns.push_back(ReduceNightFrame(Turned(raw), "c.fits", {}, e, true, true));
  }
  e.method = ExtractionChoice::Boxcar;
  const NightFrameResult a = StackNightFrames(rows, e, false), b = StackNightFrames(columns, e, true);
  ASSERT_TRUE(a.ok() && b.ok()) << a.message << b.message;
  EXPECT_EQ(b.frame.width, 200);
  EXPECT_EQ(b.frame.height, 600);
  EXPECT_EQ(b.frame.at(97, 300), a.frame.at(300, 97));
  EXPECT_EQ(b.spectrum.flux, a.spectrum.flux);
}

TEST(NightFrame, RefusalsSayWhichStepAndFile) {
  NightExtraction e = Extraction(ExtractionChoice::Boxcar);
  FitsFrame bad = Night().Object(2);
  bad.facts.biasSection = "[601:700,1:200]";
  NightFrameResult r = ReduceNightFrame(bad, "bad.fits", {}, e, true, false);
  EXPECT_EQ(r.error, NightError::Frame);
  EXPECT_EQ(r.message.rfind("bad.fits: the header's BIASSEC", 0), 0U) << r.message;

  NightMasters wrong;
  wrong.bias = Masters().bias;
  wrong.bias->width = 10;
  r = ReduceNightFrame(Night().Object(2), "o.fits", wrong, e, true, false);
  EXPECT_EQ(r.error, NightError::Calibrate);
  EXPECT_EQ(r.message, "o.fits: The bias is 10 x 200 binned 1 x 1; this frame is 616 x 200 binned 1 x 1.");

  FitsFrame tiny = Night().Object(2);
  tiny.facts.trimSection = "[1:5,1:5]";
  r = ReduceNightFrame(tiny, "tiny.fits", {}, e, true, false);
  EXPECT_EQ(r.error, NightError::CosmicRays);
  EXPECT_EQ(r.message.rfind("tiny.fits: cosmic rays could not be looked for.", 0), 0U) << r.message;

  FitsFrame blank = Night().Bias(3);
  blank.facts.imageType = "OBJECT";
  r = ReduceNightFrame(blank, "blank.fits", {}, e, true, false);
  EXPECT_EQ(r.error, NightError::Trace);
  EXPECT_EQ(r.message.rfind("blank.fits: no trace of the object was found.", 0), 0U) << r.message;

  e.halfWidth = 120;
  r = ReduceNightFrame(Night().Object(2), "wide.fits", {}, e, true, false);
  EXPECT_EQ(r.error, NightError::Extract);
  EXPECT_EQ(r.message.rfind("wide.fits: the spectrum could not be extracted.", 0), 0U) << r.message;

  // Not an object: calibrated only, however the extraction is set.
  r = ReduceNightFrame(Night().Object(2), "arc.fits", {}, e, false, false);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_FALSE(r.traced);
  EXPECT_EQ(r.cosmicRays, 0);
}

TEST(NightFrame, StackRefusesTooFewOrUnlikeFrames) {
  NightExtraction e = Extraction(ExtractionChoice::Swath);
  e.cosmicRays = false;
  NightFrameResult a = ReduceNightFrame(Night().Object(4), "a.fits", {}, e, true, false);
  FitsFrame cut = Night().Object(5);
  cut.facts.trimSection = "[1:500,1:200]";
  NightFrameResult b = ReduceNightFrame(cut, "b.fits", {}, e, true, false);
  ASSERT_TRUE(a.ok() && b.ok());
  NightFrameResult s = StackNightFrames({a}, e, false);
  EXPECT_EQ(s.error, NightError::Stack);
  EXPECT_EQ(s.message, "A stack needs at least two frames of the object.");
  s = StackNightFrames({a, b}, e, false);
  EXPECT_EQ(s.error, NightError::Stack);
  EXPECT_EQ(s.message, "b.fits is 500 x 200; a.fits is 600 x 200. Frames of one size only can be stacked.");
}

}  // namespace
}  // namespace lxr4
