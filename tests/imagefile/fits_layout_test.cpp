// The layout walk on headers built in code: where the frame is and how many
// bytes it needs (the first plane, a tile-compressed table whole), a file still
// arriving, and the decoder's answer read back and refused when out of form.
#include "imagefile/fits_layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <utility>

#include "imagefile/fits_answer.h"
#include "tests/imagefile/fits_cards.h"

namespace lxr4 {
namespace {

using namespace fits_cards;

constexpr std::size_t kMax = std::size_t{1} << 20;

TEST(FitsLayout, FindsTheFramesHduAndTheBytesItNeeds) {
  const Bytes cube = Primary(-32, {10, 5, 4}, {}, 800);
  const FitsLayout primary = WalkFitsLayout(cube, kMax, true);
  EXPECT_EQ(primary.error, FitsError::None);
  EXPECT_EQ(primary.imageHdu, 1);
  EXPECT_EQ(primary.needed, 2880u + 10 * 5 * 4);  // the first plane only
  EXPECT_TRUE(primary.Complete(cube.size()));

  const Bytes table = Extension("TABLE", 8, {10, 300}, {"TFIELDS = 1"}, 3000);
  const Bytes extension = Concatenated(EmptyPrimary(), table, Extension("IMAGE", 16, {3, 2}, {}, 12));
  const FitsLayout third = WalkFitsLayout(extension, kMax, true);
  EXPECT_EQ(third.error, FitsError::None);
  EXPECT_EQ(third.imageHdu, 3);
  EXPECT_EQ(third.needed, 2880u + 2880 + 2 * 2880 + 2880 + 12);  // headers, the table's records, 3 x 2 x 2
}

// A spectrum is a 1-D image, one row of a 2-D one, or a binary table read to
// the end of its heap; a frame is none of these.
TEST(FitsLayout, FindsTheSpectrumsHdu) {
  const Bytes table = Concatenated(EmptyPrimary(), Extension("TABLE", 8, {10, 3}, {"TFIELDS = 1"}, 30),
                                   Extension("BINTABLE", 8, {16, 100}, {"TFIELDS = 2"}, 1640, 40));
  const FitsLayout spectrum = WalkFitsLayout(table, kMax, true, FitsTarget::Spectrum);
  EXPECT_EQ(spectrum.error, FitsError::None);
  EXPECT_EQ(spectrum.imageHdu, 3);
  EXPECT_EQ(spectrum.needed, 2880u + 2880 + 2880 + 2880 + 1640);
  EXPECT_EQ(WalkFitsLayout(table, kMax, true).error, FitsError::NoImage);

  const auto image = [](const std::vector<long long>& axes) { return Primary(-32, axes, {}, 4000); };
  struct Case {
    const char* name;
    Bytes file;
    FitsError spectrum, frame;
  };
  const std::vector<Case> cases = {
      {"1-D", image({1000}), FitsError::None, FitsError::BadAxes},
      {"one row", image({1000, 1}), FitsError::None, FitsError::None},
      {"two rows", image({500, 2}), FitsError::BadAxes, FitsError::None},
      {"beyond the samples", image({16777217}), FitsError::TooLarge, FitsError::BadAxes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t max = std::size_t{1} << 30;
    const FitsLayout s = WalkFitsLayout(c.file, max, true, FitsTarget::Spectrum);
    EXPECT_EQ(s.error, c.spectrum);
    if (c.spectrum == FitsError::None) {
      EXPECT_EQ(s.needed, 2880u + 4000);
    }
    EXPECT_EQ(WalkFitsLayout(c.file, max, true).error, c.frame);
  }
}

TEST(FitsLayout, AsksForMoreUntilTheFrameIsThereAndRefusesItCutShort) {
  const Bytes file = Primary(16, {100, 50}, {}, 10000);
  const std::span<const std::uint8_t> all(file);
  const FitsLayout inHeader = WalkFitsLayout(all.first(100), kMax, false);
  EXPECT_EQ(inHeader.error, FitsError::None);
  EXPECT_EQ(inHeader.needed, 160u);  // the second card
  const FitsLayout inData = WalkFitsLayout(all.first(3000), kMax, false);
  EXPECT_EQ(inData.needed, 2880u + 10000);
  EXPECT_FALSE(inData.Complete(3000));
  EXPECT_EQ(WalkFitsLayout(all.first(3000), kMax, true).error, FitsError::Truncated);
  // The last byte the frame needs, present and missing.
  EXPECT_TRUE(WalkFitsLayout(all.first(12880), kMax, true).Complete(12880));
  EXPECT_EQ(WalkFitsLayout(all.first(12879), kMax, true).error, FitsError::Truncated);
}

// The header faults the reader's and the boundary's tables do not reach.
TEST(FitsLayout, RefusesWhatNoDecoderShouldSee) {
  const std::pair<Bytes, FitsError> cases[] = {
      {Header({"SIMPLE  = F", "BITPIX  = 8", "NAXIS   = 0"}, 0), FitsError::Corrupt},
      {Header({"SIMPLE  = T", "NAXIS   = 0"}, 0), FitsError::Corrupt},  // no BITPIX
      {Header({"SIMPLE  = T", "BITPIX  = 8", "NAXIS   = 1000"}, 0), FitsError::Corrupt},
      {Primary(8, {-4, 3}), FitsError::Corrupt},
  };
  for (const auto& [file, error] : cases) EXPECT_EQ(WalkFitsLayout(file, kMax, true).error, error);
}

FitsReadResult SomeFrame() {
  FitsReadResult r;
  r.frame.width = 3;
  r.frame.height = 2;
  r.frame.bitpix = -32;
  r.frame.values = {1, 2, 3, 4, 5, 6};
  r.frame.tileCompressed = true;
  r.frame.facts.object = "Vega";
  r.frame.facts.exposure = 30;
  r.frame.facts.pixelSizeX = 4.5;
  r.frame.facts.ra = "18 36 56.3";
  r.frame.facts.dec = "+38 47 01";
  r.frame.facts.latitude = "52.25";
  r.frame.facts.longitude = "-0.5";
  r.frame.facts.imageType = "LIGHT";
  r.frame.facts.trimSection = "[1:3,1:2]";
  r.frame.facts.binY = 2;
  return r;
}

TEST(FitsAnswer, HeadReadsBackAsWritten) {
  const std::vector<std::uint8_t> head = AnswerHead(SomeFrame());
  ASSERT_EQ(head.size(), kAnswerHeadBytes);
  const auto start = ReadAnswerHead(head);
  ASSERT_TRUE(start);
  const FitsFrame& f = start->result.frame;
  EXPECT_EQ(start->valueCount, 6u);
  EXPECT_EQ(f.width, 3);
  EXPECT_EQ(f.height, 2);
  EXPECT_TRUE(f.tileCompressed);
  EXPECT_FALSE(f.gzipped);
  EXPECT_EQ(f.facts.object, "Vega");
  EXPECT_EQ(f.facts.exposure, 30);
  EXPECT_EQ(f.facts.pixelSizeX, 4.5);
  EXPECT_FALSE(f.facts.pixelSizeY);
  EXPECT_EQ(f.facts.ra, "18 36 56.3");
  EXPECT_EQ(f.facts.dec, "+38 47 01");
  EXPECT_EQ(f.facts.latitude, "52.25");
  EXPECT_EQ(f.facts.longitude, "-0.5");
  EXPECT_EQ(f.facts.height, "");
  EXPECT_EQ(f.facts.imageType, "LIGHT");
  EXPECT_EQ(f.facts.biasSection, "");
  EXPECT_EQ(f.facts.trimSection, "[1:3,1:2]");
  EXPECT_FALSE(f.facts.binX);
  EXPECT_EQ(f.facts.binY, 2);
  const auto refusal = ReadAnswerHead(AnswerHead(FitsReadResult::Refused(FitsError::BadScale)));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->result.error, FitsError::BadScale);
  EXPECT_EQ(refusal->valueCount, 0u);
}

// A coordinate is never cut short: one too long for the program goes as absent.
TEST(FitsAnswer, LeavesOutACoordinateTooLong) {
  FitsReadResult r = SomeFrame();
  r.frame.facts.height = std::string(kMaxCoordinateText, '1');
  r.frame.facts.ra = std::string(kMaxCoordinateText + 1, '1');
  const auto start = ReadAnswerHead(AnswerHead(r));
  ASSERT_TRUE(start);
  EXPECT_EQ(start->result.frame.facts.ra, "");
  EXPECT_EQ(start->result.frame.facts.height, r.frame.facts.height);
}

TEST(FitsAnswer, RefusesHeadsOutOfForm) {
  const std::vector<std::uint8_t> good = AnswerHead(SomeFrame());
  const auto changed = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> head = good;
    head[at] = value;
    return head;
  };
  struct Case {
    const char* name;
    std::vector<std::uint8_t> head;
  };
  double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<std::uint8_t> nanExposure = good, textWithoutEnd = good;
  std::memcpy(nanExposure.data() + 32, &nan, sizeof nan);
  std::fill(textWithoutEnd.begin() + 56, textWithoutEnd.begin() + 56 + 72, 'a');
  // The target's and the site's texts follow the count: 5 fields of 72 bytes from 280.
  std::vector<std::uint8_t> placeTooLong = good, placeWithoutEnd = good;
  std::fill(placeTooLong.begin() + 280 + 72 * 4, placeTooLong.begin() + 280 + 72 * 4 + 40, '1');
  std::fill(placeWithoutEnd.begin() + 280 + 72, placeWithoutEnd.begin() + 280 + 72 * 2, '1');
  // Then the reduction's texts: 3 fields of 72 bytes from 640; the binning as doubles at 856 and 864.
  std::vector<std::uint8_t> typeTooLong = good, binBelowOne = good, binWithoutFlag = good;
  std::fill(typeTooLong.begin() + 640, typeTooLong.begin() + 640 + 65, 'B');
  const double half = 0.5;
  std::memcpy(binBelowOne.data() + 864, &half, sizeof half);
  std::memcpy(binWithoutFlag.data() + 856, &half, sizeof half);
  std::vector<std::uint8_t> refusalWithSize = AnswerHead(FitsReadResult::Refused(FitsError::Corrupt));
  refusalWithSize[12] = 1;
  const std::vector<Case> cases = {
      {"short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
      {"wrong mark", changed(0, 'X')},
      {"unknown error", changed(8, 99)},
      {"width beyond the limits", changed(14, 0x7f)},
      {"no rows", changed(16, 0)},
      {"unknown flag", changed(24, 0x80)},
      {"NaN exposure", nanExposure},
      {"control character in a text", changed(57, 7)},
      {"text without its end", textWithoutEnd},
      {"count not width x height", changed(272, 7)},
      {"control character in the declination", changed(280 + 72 + 2, 9)},
      {"height longer than the program takes", placeTooLong},
      {"declination without its end", placeWithoutEnd},
      {"a byte after the longitude's end", changed(280 + 72 * 3 + 60, 'x')},
      {"an image type longer than the program takes", typeTooLong},
      {"a binning below 1", binBelowOne},
      {"a binning the flags do not announce", binWithoutFlag},
      {"a refusal with a size", refusalWithSize},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadAnswerHead(c.head)) << c.name;
  EXPECT_FALSE(AnswerValuesSound(std::vector<float>{1, std::numeric_limits<float>::infinity()}));
}

}  // namespace
}  // namespace lxr4
