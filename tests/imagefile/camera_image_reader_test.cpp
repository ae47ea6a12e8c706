// The camera image reader on files built in memory: header lines, both pixel
// layouts, the size limits and error codes, where the golden cases load-* do
// not reach them.
#include "imagefile/camera_image_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tests/imagefile/fits_cards.h"

namespace lxr4 {
namespace {

using fits_cards::Bytes;
using fits_cards::Concatenated;

// A header block of `lines`, each ended by a line feed and a carriage return
// unless it already ends in a carriage return, padded with zeros to 2048 bytes,
// then `pixels`.
Bytes File(const std::vector<std::string_view>& lines, const Bytes& pixels = {}) {
  Bytes file;
  for (std::string_view line : lines) {
    file.insert(file.end(), line.begin(), line.end());
    if (!line.ends_with('\r')) {
      file.push_back('\n');
      file.push_back('\r');
    }
  }
  file.resize(kHeaderBlockBytes, 0);
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Words(std::initializer_list<int> values) {
  Bytes bytes;
  for (int v : values) {
    bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
  }
  return bytes;
}

// A compressed row: its length in two bytes, then the row data.
Bytes Row(const Bytes& data) { return Concatenated(Words({static_cast<int>(data.size())}), data); }

// Every value of the image, row by row.
std::vector<std::int16_t> Values(const CameraImageFile& image) {
  std::vector<std::int16_t> values;
  for (int r = 1; r <= image.height; ++r)
    for (int c = 1; c <= image.width; ++c) values.push_back(image.at(c, r));
  return values;
}

const ReaderStart kObject{true, 0, 0};

TEST(CameraImageReader, DecodesBothLayouts) {
  // 0, then 258 deltas of -127 and one of -2: escaped values are unsigned, so
  // -32768 is reached from 0 by deltas.
  Bytes descent(2 + 258 + 1, 0x81);
  descent[0] = descent[1] = 0x00;
  descent.back() = 0xFE;
  const struct {
    const char* name;
    std::vector<std::string_view> lines;
    Bytes pixels;
    std::vector<std::int16_t> last;  // the last values of the image, row by row
  } cases[] = {
      // 16 21 16 4660 32767 32767 (65535 + 1 stays unclamped in the running value), then column 1 := column 2.
      {"six-column encoded row", {"KM-1 Compressed Image", "Height = 1", "Width = 6", "End"},
       Row({0x10, 0x00, 0x05, 0xFB, 0x80, 0x34, 0x12, 0x80, 0xFF, 0xFF, 0x01}), {21, 21, 16, 4660, 32767, 32767}},
      // 2, -125, -141, -14, then two spare bytes
      {"encoded row going negative, leftover bytes", {"KM-1 Compressed Image", "Height = 1", "Width = 4", "End"},
       Row({0x02, 0x00, 0x81, 0xF0, 0x7F, 0xAA, 0xBB}), {-125, -125, -141, -14}},
      {"descent to exactly -32768", {"KM-1 Compressed Image", "Height = 1", "Width = 260", "End"}, Row(descent),
       {-32768}},
      {"uncompressed: negative words become 32767, column 1 stays",
       {"KM-1 Image", "Height = 1", "Width = 5", "End"},
       Bytes{0x05, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F, 0x01, 0x00}, {5, 32767, 32767, 32767, 1}},
      // Length 6 = 2 x Width: raw values, unsigned, above 32767 stored as 32767.
      {"raw rows of a compressed file", {"KM-1 Compressed Image", "Height = 2", "Width = 3", "End"},
       Concatenated(Row(Words({7, 40000, 9})), Row(Words({1, 2, 3}))), {32767, 32767, 9, 2, 2, 3}},
      {"Compressed Image in a later line",
       {"KM-1 Image", "Height = 1", "note: Compressed Image", "Width = 2", "End"},
       Row(Words({3, 4})), {4, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CameraImageFile image = ReadCameraImage(File(c.lines, c.pixels), kObject);
    ASSERT_EQ(image.error, ReadError::None);
    // Any line holding "Compressed Image" selects the compressed layout.
    const auto compressed = [](std::string_view l) { return l.find("Compressed Image") != l.npos; };
    EXPECT_EQ(image.header.compressed, std::ranges::any_of(c.lines, compressed));
    const std::vector<std::int16_t> values = Values(image);
    ASSERT_GE(values.size(), c.last.size());
    EXPECT_EQ(std::vector<std::int16_t>(values.end() - static_cast<std::ptrdiff_t>(c.last.size()), values.end()),
              c.last);
  }
}

TEST(CameraImageReader, HeaderLineRules) {
  const struct {
    const char* name;
    std::vector<std::string_view> lines;
    int height, width;
  } cases[] = {
      // The line feed before the carriage return is dropped unseen: without it the 0 goes.
      {"carriage return without line feed", {"KM-1 Image", "Height = 20\r", "Width = 4", "End"}, 2, 4},
      // The character after the key is skipped whatever it is.
      {"no blank after the key", {"KM-1 Image", "Height = 1", "Width =768", "End"}, 1, 68},
      {"halves to even down", {"KM-1 Image", "Height = 2.5", "Width = 4", "End"}, 2, 4},
      {"halves to even up", {"KM-1 Image", "Height = 3.5", "Width = 4", "End"}, 4, 4},
      {"blanks around the value", {"KM-1 Image", "Height =  3  ", "Width = 4", "End"}, 3, 4},
      // A later line wins, but a key counts only at the start of its line.
      {"later line wins", {"KM-1 Image", "Height = 9", "Height = 1", " Height = 7", "Width = 4", "End"}, 1, 4},
      {"lines after End are not read", {"KM-1 Image", "Height = 1", "Width = 4", "End", "Height = x"}, 1, 4},
      {"End with more text", {"KM-1 Image", "Height = 1", "Width = 4", "Ending"}, 1, 4},
      // "End" and a carriage return alone is too short a line: reading runs on.
      {"a short End line is skipped", {"KM-1 Image", "Height = 1", "End\r", "Width = 3", "End"}, 1, 3},
      {"missing keys keep the start values", {"KM-1 Image", "End"}, 5, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = File(c.lines, Bytes(2 * 20 * 768, 0));
    const CameraImageFile image = ReadCameraImage(file, ReaderStart{true, 5, 6});
    ASSERT_EQ(image.error, ReadError::None);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.width, c.width);
  }
}

TEST(CameraImageReader, DateAndTimeAppendInLineOrder) {
  const Bytes file = File({"KM-1 Image", "Height = 1", "Width = 2", "Time = 21:14:03", "Date = 12/05/99", "End"},
                          Words({1, 2}));
  EXPECT_EQ(ReadCameraImage(file, kObject).header.captionSuffix, " at 21:14:03 captured on 12/05/99");
  const Bytes bare = File({"KM-1 Image", "Height = 1", "Width = 2", "End"}, Words({1, 2}));
  EXPECT_EQ(ReadCameraImage(bare, kObject).header.captionSuffix, "");
}

// Beside the failures of the golden case load-failure-unchanged (no End, a bad
// value, short uncompressed pixels, codes running past their row, a one-column
// file) and the limits of load-limits (too tall, too wide, 20 x 768).
TEST(CameraImageReader, ErrorCodes) {
  const auto header = [](std::string_view layout, std::string_view width) {
    return File({layout, "Height = 1", width, "End"});
  };
  const auto compressed = [&](std::string_view width, const Bytes& pixels) {
    return Concatenated(header("KM-1 Compressed Image", width), pixels);
  };
  // 0, then 259 deltas of -127 reach -32893. (Filled, not inserted into a short
  // vector, which GCC 12 takes for an overflow in a Release build.)
  Bytes longDescent(2 + 259, 0x81);
  longDescent[0] = longDescent[1] = 0x00;
  const auto sized = [](std::string_view height, std::string_view width) {
    return File({"KM-1 Image", height, width, "End"}, Bytes(2 * 20 * 768, 0));
  };
  const struct {
    const char* name;
    Bytes file;
    ReadError error;
  } cases[] = {
      {"Height 21", sized("Height = 21", "Width = 768"), ReadError::TooTall},
      {"Height 0", sized("Height = 0", "Width = 768"), ReadError::BadSize},
      {"Width 800 before a negative Height", sized("Height = -4", "Width = 800"), ReadError::TooWide},
      {"Width negative", sized("Height = 1", "Width = -768"), ReadError::BadSize},
      {"empty file", {}, ReadError::MissingEnd},
      {"End only in a skipped line", File({"KM-1 Image", "Height = 1", "End\r"}), ReadError::MissingEnd},
      {"value missing", File({"KM-1 Image", "Height =", "End"}), ReadError::BadHeaderValue},
      {"Height beyond 16 bits", File({"KM-1 Image", "Height = 32768", "End"}), ReadError::BadHeaderValue},
      {"Background beyond 16 bits", File({"KM-1 Image", "Background = -32769", "End"}), ReadError::BadHeaderValue},
      {"Range beyond 32 bits", File({"KM-1 Image", "Range = 2147483648", "End"}), ReadError::BadHeaderValue},
      {"pixel size beyond single", File({"KM-1 Image", "X_pixel_size = 1e37", "End"}), ReadError::BadHeaderValue},
      {"pixel size not finite", File({"KM-1 Image", "X_pixel_size = inf", "End"}), ReadError::BadHeaderValue},
      {"no pixels at all", header("KM-1 Image", "Width = 3"), ReadError::TruncatedPixels},
      {"file shorter than its header block", Text("Height = 1\n\rWidth = 2\n\rEnd\n\r"),
       ReadError::TruncatedPixels},
      {"row length cut off", compressed("Width = 3", Bytes{0x06}), ReadError::TruncatedPixels},
      {"row data cut off", compressed("Width = 3", Words({6, 1, 2})), ReadError::TruncatedPixels},  // 4 bytes of 6
      {"row length zero", compressed("Width = 3", Words({0})), ReadError::BadRowLength},
      {"row length negative", compressed("Width = 3", Words({-2})), ReadError::BadRowLength},
      {"row of one byte", compressed("Width = 3", Row({0x01})), ReadError::RowOverrun},
      {"escape runs past the row", compressed("Width = 3", Row({0x01, 0x00, 0x01, 0x80, 0x01})),
       ReadError::RowOverrun},
      {"value below -32768", compressed("Width = 260", Row(longDescent)), ReadError::ValueTooLow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CameraImageFile image = ReadCameraImage(c.file, ReaderStart{true, 0, 2});
    EXPECT_EQ(image.error, c.error);
    EXPECT_TRUE(image.pixels.empty());
  }
}

// A pixel size is 0 (unknown) or one a camera can have, 0.1 micrometre to 1 mm;
// anything else would give the calibration absurd focal lengths and wavelengths.
TEST(CameraImageReader, PixelSizesOutsideWhatACameraCanHaveAreRefused) {
  const struct {
    const char* text;
    std::optional<float> micrometres;  // nullopt: refused
  } cases[] = {
      // (The golden case load-pixel-size-refused pins 1e-44, 3.4e35, -0.009,
      // 0.00009 and 1.5 mm refused, 0.0001 and 1 mm loaded.)
      {"0", 0.0f}, {"-0", 0.0f}, {"0.009", 9.0f}, {"1.0001", std::nullopt}, {"nan", std::nullopt},
  };
  for (const auto& c : cases) {
    for (const std::string key : {"X_pixel_size = ", "Y_pixel_size = "}) {
      SCOPED_TRACE(key + c.text);
      const std::string line = key + c.text;
      const CameraImageFile image =
          ReadCameraImage(File({"KM-1 Image", "Height = 1", "Width = 2", line, "End"}, Words({1, 2})), kObject);
      const std::optional<float> read = key[0] == 'X' ? image.header.pixelWidth : image.header.pixelHeight;
      EXPECT_EQ(image.error == ReadError::None, c.micrometres.has_value());
      if (c.micrometres) {
        EXPECT_FLOAT_EQ(read.value_or(-1), *c.micrometres);
      }
    }
  }
}

}  // namespace
}  // namespace lxr4
