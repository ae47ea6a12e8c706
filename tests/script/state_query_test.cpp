// `state` answers: every kind of field printed by its own type, and bad questions.
#include "app/state_query.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

std::string Ask(const AppState& s, std::string_view field, std::vector<long long> numbers = {}) {
  const StateAnswer a = AskState(s, field, numbers);
  return a.error.empty() ? a.line : "error: " + a.error;
}

TEST(AskState, EachKindOfFieldInItsOwnType) {
  AppState s;
  s.Object.Loaded = kTrue;
  s.CalibrationDone = true;
  s.FocalLength = 53.71068870610805;
  s.AlphaAngle = 9.7553f;
  s.CursorPixel = std::int16_t{381};
  s.Object.Range = std::int32_t{-70000};
  s.Cal.FileName = "C:\\lamp \"Hg\".km1";
  s.Cal.Caption = "a\r\nb";
  s.LineCentroid = 300.25f;
  s.DegreesPerRadian = 57.29578f;
  s.SpectrumMin = -2147483647 - 1;
  s.Cal.CropBottom = 17;
  const struct {
    std::string_view field, line;
  } cases[] = {
      {"ObjectLoaded", "state ObjectLoaded -1"},
      {"CalLoaded", "state CalLoaded 0"},
      {"CalibrationDone", "state CalibrationDone true"},
      {"LogGraph", "state LogGraph false"},
      {"FocalLength", "state FocalLength 53.71068870610805"},
      {"AlphaAngle", "state AlphaAngle 9.7553"},
      {"CursorPixel", "state CursorPixel 381"},
      {"ObjectRange", "state ObjectRange -70000"},
      {"BetaAngle", "state BetaAngle 0"},  // unset
      {"CalFileName", R"(state CalFileName "C:\\lamp \"Hg\".km1")"},
      {"CalCaption", R"(state CalCaption "a\r\nb")"},
      {"LineCentroid", "state LineCentroid 300.25"},
      {"DegreesPerRadian", "state DegreesPerRadian 57.29578"},
      {"SpectrumMin", "state SpectrumMin -2147483648"},
      {"CalCropBottom", "state CalCropBottom 17"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    EXPECT_EQ(Ask(s, c.field), c.line);
  }
}

TEST(AskState, SpectraAndPixelRows) {
  AppState s;
  s.CurrentSpectrum[1] = 5;
  s.CurrentSpectrum[768] = -9;
  s.CalSpectrum[2] = 7;
  s.Object.Pixels.at(768, 20) = -32768;
  s.Cal.Pixels.at(1, 1) = 32767;
  EXPECT_EQ(Ask(s, "CurrentSpectrum", {1, 2}), "state CurrentSpectrum 1 2 5 0");
  EXPECT_EQ(Ask(s, "CurrentSpectrum", {768, 768}), "state CurrentSpectrum 768 768 -9");
  EXPECT_EQ(Ask(s, "CalSpectrum", {2, 3}), "state CalSpectrum 2 3 7 0");
  EXPECT_EQ(Ask(s, "ObjectSpectrum", {1, 1}), "state ObjectSpectrum 1 1 0");
  EXPECT_EQ(Ask(s, "ObjectPixels", {20, 767, 768}), "state ObjectPixels 20 767 768 0 -32768");
  EXPECT_EQ(Ask(s, "CalPixels", {1, 1, 1}), "state CalPixels 1 1 1 32767");
}

TEST(AskState, BadQuestions) {
  const AppState s;
  const struct {
    std::string_view field;
    std::vector<long long> numbers;
  } cases[] = {
      {"NoSuchField", {}},
      {"FocalLength", {1}},
      {"CurrentSpectrum", {}},
      {"CurrentSpectrum", {0, 5}},
      {"CurrentSpectrum", {5, 4}},
      {"CurrentSpectrum", {1, 769}},
      {"CurrentSpectrum", {1, 2, 3}},
      {"ObjectPixels", {0, 1, 1}},
      {"ObjectPixels", {21, 1, 1}},
      {"CalPixels", {1, 1, 769}},
      {"CalPixels", {1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    const StateAnswer a = AskState(s, c.field, c.numbers);
    EXPECT_FALSE(a.error.empty());
    EXPECT_TRUE(a.line.empty());
  }
}

}  // namespace
}  // namespace lxr4
