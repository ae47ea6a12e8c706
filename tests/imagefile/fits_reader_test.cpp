// The FITS frame reader on frames written in memory: every BITPIX with and
// without BZERO/BSCALE, the image in an extension, tile-compressed, a third
// axis, NaN pixels; and the refusals. (16-bit frames unsigned by BZERO, floats
// and gzip are the frames of the golden cases load-fits and export-fits.)
#include "imagefile/fits_reader.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "imagefile/fits_frame_writer.h"
#include "imagefile/gzip.h"
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
    f.textKeys = {{"OBJECT", "Vega"}, {"DATE-OBS", "2024-03-05T21:04:09.5"}};
    f.numberKeys = {{"EXPTIME", 30}, {"XPIXSZ", 3.76}};
  });
  const FitsFacts facts = ReadFitsFrame(Write(shape, Ramp(0, 1)), kDecoder).frame.facts;
  EXPECT_EQ(facts.object, "Vega");
  EXPECT_EQ(facts.dateObs, "2024-03-05T21:04:09.5");
  EXPECT_EQ(facts.exposure, 30);
  EXPECT_EQ(facts.pixelSizeX, 3.76);
  EXPECT_FALSE(facts.pixelSizeY);
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
