// The FITS frame reader on frames written in memory: every BITPIX with and
// without BZERO/BSCALE, the image in an extension, tile-compressed, a third
// axis, NaN pixels; and the refusals. (16-bit frames unsigned by BZERO, floats
// and gzip are the frames of the golden cases load-fits and export-fits.)
#include "imagefile/fits_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "imagefile/fits_frame_writer.h"
#include "imagefile/gzip.h"
#include "imagefile/reduction_frame.h"
#include "tests/imagefile/fits_cards.h"

namespace lxr4 {
namespace {

using namespace fits_cards;

const std::string kDecoder = LXR4_FITS_DECODER;

// 4 x 3 values 0..11, times `step`, plus `base`.
std::vector<double> Ramp(double base, double step) {
  std::vector<double> v(12);
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = base + step * static_cast<double>(i);
  return v;
}

// A frame of `bitpix`, changed by `edit`.
template <typename Edit>
FrameFile Shape(int bitpix, Edit edit) {
  FrameFile shape;
  shape.bitpix = bitpix;
  edit(shape);
  return shape;
}
FrameFile Shape(int bitpix) {
  return Shape(bitpix, [](FrameFile&) {});
}

Bytes Write(FrameFile shape, const std::vector<double>& values) {
  shape.width = 4;
  shape.height = 3;
  return WriteFrameFile(shape, values).value();
}

TEST(FitsReader, ReadsEveryKindOfFrame) {
  struct Case {
    const char* name;
    FrameFile shape;
    std::vector<double> values;
  };
  const std::vector<Case> cases = {
      {"8-bit", Shape(8), Ramp(0, 20)},
      {"16-bit", Shape(16), Ramp(-3000, 1000)},
      {"32-bit", Shape(32), Ramp(-100000, 30000)},
      {"32-bit scaled", Shape(32, [](FrameFile& f) { f.bzero = 10, f.bscale = 0.5; }), Ramp(10, 0.5)},
      {"64-bit", Shape(64), Ramp(7, 3)},
      {"double", Shape(-64), Ramp(-1e5, 12345.5)},
      {"in an extension", Shape(16, [](FrameFile& f) { f.inExtension = true; }), Ramp(1, 1)},
      {"tile-compressed", Shape(16, [](FrameFile& f) { f.tileCompressed = true; }), Ramp(50, 7)},
      {"tile-compressed, BZERO", Shape(16, [](FrameFile& f) { f.bzero = 32768, f.tileCompressed = true; }),
       Ramp(0, 5000)},
      {"NAXIS 3", Shape(16, [](FrameFile& f) { f.planes = 2; }), Ramp(9, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = Write(c.shape, c.values);
    EXPECT_TRUE(LooksLikeFits(file));
    const FitsReadResult r = ReadFitsFrame(file, kDecoder);
    ASSERT_EQ(r.error, FitsError::None);
    EXPECT_EQ(r.frame.width, 4);
    EXPECT_EQ(r.frame.height, 3);
    EXPECT_EQ(r.frame.tileCompressed, c.shape.tileCompressed);
    EXPECT_EQ(r.frame.gzipped, c.shape.gzipped);
    for (std::size_t i = 0; i < c.values.size(); ++i)
      EXPECT_FLOAT_EQ(r.frame.values[i], static_cast<float>(c.values[i])) << "pixel " << i;
  }
}

TEST(FitsReader, NanPixelsAreZeroAndAnAllNanFrameIsRefused) {
  std::vector<double> values = Ramp(1, 1);
  values[5] = std::numeric_limits<double>::quiet_NaN();
  const FitsReadResult r = ReadFitsFrame(Write(Shape(-32), values), kDecoder);
  ASSERT_EQ(r.error, FitsError::None);
  EXPECT_EQ(r.frame.values[5], 0.0f);
  EXPECT_EQ(r.frame.values[6], 7.0f);
  values.assign(12, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(ReadFitsFrame(Write(Shape(-64), values), kDecoder).error, FitsError::NoValidPixels);
}

TEST(FitsReader, ReadsTheFactsFromTheImageOrThePrimaryHeader) {
  const FrameFile shape = Shape(16, [](FrameFile& f) {
    f.tileCompressed = true;
    f.textKeys = {{"OBJECT", "Vega"},
                  {"DATE-OBS", "2024-03-05T21:04:09.5"},
                  {"OBJCTRA", "18 36 56.3"},
                  {"OBJCTDEC", "+38 47 01"}};
    f.numberKeys = {{"EXPTIME", 30}, {"XPIXSZ", 3.76}, {"LAT-OBS", 52.25}, {"LONG-OBS", -0.5}};
  });
  const FitsFacts facts = ReadFitsFrame(Write(shape, Ramp(0, 1)), kDecoder).frame.facts;
  EXPECT_EQ(facts.object, "Vega");
  EXPECT_EQ(facts.dateObs, "2024-03-05T21:04:09.5");
  EXPECT_EQ(facts.exposure, 30);
  EXPECT_EQ(facts.pixelSizeX, 3.76);
  EXPECT_FALSE(facts.pixelSizeY);
  EXPECT_EQ(facts.ra, "18 36 56.3");
  EXPECT_EQ(facts.dec, "+38 47 01");
  EXPECT_EQ(ParseDecimal(facts.latitude), 52.25);  // as cfitsio wrote the number
  EXPECT_EQ(ParseDecimal(facts.longitude), -0.5);
  EXPECT_EQ(facts.height, "");
}

// The reduction's keys, and the frame the reduction takes from them.
TEST(FitsReader, ReadsTheReductionKeys) {
  const FrameFile shape = Shape(16, [](FrameFile& f) {
    f.textKeys = {{"IMAGETYP", "Bias Frame"}, {"BIASSEC", "[4:4,1:3]"}, {"TRIMSEC", "[1:3,*]"}};
    f.numberKeys = {{"EXPTIME", 0}, {"XBINNING", 2}, {"YBINNING", 2}};
  });
  const FitsReadResult read = ReadFitsFrame(Write(shape, Ramp(0, 1)), kDecoder);
  ASSERT_EQ(read.error, FitsError::None);
  EXPECT_EQ(read.frame.facts.imageType, "Bias Frame");
  EXPECT_EQ(read.frame.facts.biasSection, "[4:4,1:3]");
  EXPECT_EQ(read.frame.facts.trimSection, "[1:3,*]");
  EXPECT_EQ(read.frame.facts.binX, 2);
  EXPECT_EQ(read.frame.facts.binY, 2);
  const ReductionFrameResult r = ReductionFrameOf(read.frame, "bias1.fits");
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.frame.imageType, "BIAS");
  EXPECT_EQ(FrameShapeText(r.frame), "4 x 3 binned 2 x 2");
  EXPECT_EQ(r.frame.exposure, 0.0);
  EXPECT_EQ(r.frame.at(3, 2), 11.0F);
  ASSERT_TRUE(r.overscan && r.trim);
  EXPECT_EQ(SectionText(*r.overscan), "[4:4,1:3]");
  EXPECT_EQ(SectionText(*r.trim), "[1:3,1:3]");
  // Without the keys: binned 1 x 1, no type, no sections.
  const ReductionFrameResult plain = ReductionFrameOf(ReadFitsFrame(Write(Shape(16), Ramp(0, 1)), kDecoder).frame, "a");
  ASSERT_TRUE(plain.ok());
  EXPECT_EQ(FrameShapeText(plain.frame), "4 x 3 binned 1 x 1");
  EXPECT_EQ(plain.frame.imageType, "");
  EXPECT_FALSE(plain.overscan || plain.trim);
  // Some observatories' words for the type and the binning.
  const FrameFile other = Shape(16, [](FrameFile& f) {
    f.textKeys = {{"OBSTYPE", "ARC"}};
    f.numberKeys = {{"CCDXBIN", 2}, {"CCDYBIN", 1}};
  });
  const FitsReadResult arc = ReadFitsFrame(Write(other, Ramp(0, 1)), kDecoder);
  ASSERT_EQ(arc.error, FitsError::None);
  EXPECT_EQ(arc.frame.facts.imageType, "ARC");
  EXPECT_EQ(arc.frame.facts.binX, 2);
  EXPECT_EQ(arc.frame.facts.binY, 1);
}

// The target and the site as the cards wrote them, numbers or quoted texts.
TEST(FitsReader, ReadsTheTargetAndTheSiteAsWritten) {
  using Place = std::vector<std::string>;  // ra, dec, latitude, longitude, height
  struct Case {
    const char* name;
    std::vector<std::string> cards;
    Place place;
  };
  const std::string tooLong = "'" + std::string(kMaxCoordinateText + 1, '1') + "'";
  const std::vector<Case> cases = {
      {"none", {Card("OBJECT", "'Vega'")}, {"", "", "", "", ""}},
      {"RA/DEC and SITE keys",
       {Card("RA", "83.82208"), Card("DEC", "'-05 23 28'"), Card("SITELAT", "52.2089"),
        Card("SITELONG", "'-00:07:07.2'"), Card("SITEELEV", "12.5")},
       {"83.82208", "-05 23 28", "52.2089", "-00:07:07.2", "12.5"}},
      {"RA without DEC: the object's keys",
       {Card("RA", "1.5"), Card("OBJCTRA", "'05 35 17.3'"), Card("OBJCTDEC", "'-05 23 28'"),
        Card("TELRA", "2.5"), Card("TELDEC", "3.5")},
       {"05 35 17.3", "-05 23 28", "", "", ""}},
      {"the telescope's keys",
       {Card("TELRA", "'05:35:17.3'"), Card("TELDEC", "-5.39")},
       {"05:35:17.3", "-5.39", "", "", ""}},
      {"LAT-OBS/LONG-OBS with the height of their family",
       {Card("SITEELEV", "100"), Card("LAT-OBS", "28.76"), Card("LONG-OBS", "-17.88"),
        Card("ALT-OBS", "2332")},
       {"", "", "28.76", "-17.88", "2332"}},
      {"LATITUDE/LONGITUD: ALTITUDE is no height",
       {Card("LATITUDE", "-29.2563"), Card("LONGITUD", "-70.7313"), Card("ALTITUDE", "82.8628")},
       {"", "", "-29.2563", "-70.7313", ""}},
      {"OBSGEO",
       {Card("OBSGEO-B", "19.8"), Card("OBSGEO-L", "-155.47"), Card("OBSGEO-H", "4205.")},
       {"", "", "19.8", "-155.47", "4205."}},
      {"a text too long counts as absent",
       {Card("RA", tooLong), Card("DEC", "1"), Card("OBJCTRA", "'12 00 00'"), Card("OBJCTDEC", "'+10 00 00'"),
        Card("SITELAT", "10"), Card("SITELONG", "20"), Card("SITEELEV", tooLong)},
       {"12 00 00", "+10 00 00", "10", "20", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FitsReadResult r = ReadFitsFrame(Primary(16, {4, 3}, c.cards, 24), kDecoder);
    ASSERT_EQ(r.error, FitsError::None);
    const FitsFacts& f = r.frame.facts;
    EXPECT_EQ((Place{f.ra, f.dec, f.latitude, f.longitude, f.height}), c.place);
  }
}

TEST(FitsReader, RefusesBrokenFrames) {
  const Bytes good = Write(Shape(16), Ramp(0, 1));
  const Bytes truncatedData(good.begin(), good.begin() + 2880 + 10);
  const Bytes gzipCut = Gzip(Bytes(good.begin(), good.begin() + 2880 + 4));
  const Bytes badGzip = {0x1f, 0x8b, 8, 0, 0, 0, 0, 0, 0, 3, 0xff, 0xff, 0xff};
  struct Case {
    const char* name;
    Bytes file;
    FitsError error;
  };
  const std::vector<Case> cases = {
      {"truncated data", truncatedData, FitsError::Truncated},
      {"gzip of a truncated file", gzipCut, FitsError::Truncated},
      {"header cut", Bytes(good.begin(), good.begin() + 1000), FitsError::Truncated},
      {"no image", Primary(8, {}), FitsError::NoImage},
      {"NAXIS 1", Primary(16, {100}, {}, 2880), FitsError::BadAxes},
      {"NAXIS 4", Primary(8, {2, 2, 1, 1}, {}, 2880), FitsError::BadAxes},
      {"header only, 100000 x 100000", Primary(16, {100000, 100000}), FitsError::TooLarge},
      {"header only, 8000 x 8000", Primary(16, {8000, 8000}, {}, 2880), FitsError::Truncated},
      {"absurd BITPIX", Primary(12, {4, 3}, {}, 2880), FitsError::Corrupt},
      {"not FITS", Bytes{'K', 'M', '-', '1'}, FitsError::NotFits},
      {"gzip of garbage", badGzip, FitsError::NotFits},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FitsReadResult r = ReadFitsFrame(c.file, kDecoder);
    EXPECT_EQ(r.error, c.error);
    EXPECT_TRUE(r.frame.values.empty());
  }
  EXPECT_FALSE(LooksLikeFits(badGzip));
  EXPECT_TRUE(LooksLikeFits(gzipCut));
}

}  // namespace
}  // namespace lxr4
