// The strip writer at its edges. The golden cases strip-* write the strips of
// a compressed and an uncompressed image, of full size, over an older file,
// with values divided, clamped and in little-endian order, and read them back.
#include "imagefile/strip_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

#include "imagefile/camera_image_reader.h"
#include "imagefile/strip_name.h"

namespace lxr4 {
namespace {

// A 2048-byte header block holding `text` and zeros after it.
HeaderBytes Block(std::string_view text) {
  HeaderBytes block{};
  std::copy(text.begin(), text.end(), block.begin());
  return block;
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct SearchCase {
  const char* name;
  std::string source;
  std::string start;  // first bytes of the strip header
};

TEST(StripHeader, CopiesFromTheFirstCapitalIAmongTheFirst30Bytes) {
  const SearchCase cases[] = {
      {"I at byte 1 shifts the block right", "Image", "KM-1 Image"},
      {"first of two", "xxIyyIzz", "KM-1 IyyIzz"},
      {"I at byte 30", std::string(29, 'a') + "Ib", "KM-1 Ib"},
      {"I at byte 31 is not looked for", std::string(30, 'a') + "Ib", "KM-1 Ib"},
      {"lower-case i does not count", "KM-1 image" + std::string(20, 'z') + "tail", "KM-1 tail"},
  };
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(AsText(StripHeader(Block(c.source))).substr(0, c.start.size()), c.start);
  }
}

struct ValueCase {
  std::int32_t spectrum;
  std::int16_t strip;
};

TEST(StripValue, DividesBy20TowardZeroAndClamps) {
  const ValueCase cases[] = {
      {40, 2},
      {19, 0},
      {0, 0},
      {-1, 0},
      {-39, 0},
      {-700000, 0},
      {655359, 32767},
      {655360, 32767},
      {std::numeric_limits<std::int32_t>::max(), 32767},
      {std::numeric_limits<std::int32_t>::min(), 0},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.spectrum);
    EXPECT_EQ(StripValue(c.spectrum), c.strip);
  }
}

TEST(StripImage, NoRowsForHeightBelow1) {
  const std::int32_t spectrum[] = {100, 200};
  EXPECT_EQ(StripImage(Block("Image"), spectrum, 0).size(), 2048u);
  EXPECT_EQ(StripImage(Block("Image"), spectrum, -3).size(), 2048u);
}

// --- a strip read back by the program's own reader

std::string Header(std::string_view firstLine, int height, int width) {
  return std::string(firstLine) + "\n\rHeight = " + std::to_string(height) + "\n\rWidth = " +
         std::to_string(width) + "\n\rBackground = 100\n\rRange = 2000\n\rX_pixel_size = 0.009\n\r"
         "Date = 12/05/99\n\rTime = 21:14:03\n\rEnd\n\r";
}

struct RoundTripCase {
  const char* firstLine;
  int height, width;
};

TEST(StripRoundTrip, ReaderGetsTheUncompressedLayoutAndTheSameRows) {
  const RoundTripCase cases[] = {
      {"KM-1 Compressed Image", 20, 768},
      {"KM-1 Image", 20, 765},
      {"KM-1 Compressed Image", 7, 300},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.firstLine + std::string(" ") + std::to_string(c.height) + " x " + std::to_string(c.width));
    std::vector<std::int32_t> spectrum(static_cast<std::size_t>(c.width));
    for (std::size_t i = 0; i < spectrum.size(); ++i)
      spectrum[i] = static_cast<std::int32_t>(i * i * 7) - 500;  // negative, ordinary and clamped values
    const std::vector<std::uint8_t> strip = StripImage(Block(Header(c.firstLine, c.height, c.width)), spectrum,
                                                       c.height);

    const CameraImageFile image = ReadCameraImage(strip, ReaderStart{});
    ASSERT_EQ(image.error, ReadError::None);
    EXPECT_FALSE(image.header.compressed);
    EXPECT_EQ(image.height, c.height);
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.header.captionSuffix, " captured on 12/05/99 at 21:14:03");
    for (int row = 1; row <= c.height; ++row)
      for (int column = 1; column <= c.width; ++column)
        ASSERT_EQ(image.at(column, row), StripValue(spectrum[static_cast<std::size_t>(column - 1)]))
            << "column " << column << " row " << row;

    // Saving the strip of the strip gives the same file again.
    std::vector<std::int32_t> again(spectrum.size());
    for (int column = 1; column <= c.width; ++column)
      again[static_cast<std::size_t>(column - 1)] = image.at(column, 1) * 20;
    EXPECT_EQ(StripImage(image.headerBlock, again, c.height), strip);
  }
}

TEST(StripNameDefault, TheImageFolderWithASeparatorOrTheCameraFolderWhereItExists) {
  EXPECT_EQ(StripNameDefault("samples/star.km1", false), "samples/");
  EXPECT_EQ(StripNameDefault("/home/obs/run 5/lamp.km1", false), "/home/obs/run 5/");
  EXPECT_EQ(StripNameDefault("/lamp.km1", false), "/");
  EXPECT_EQ(StripNameDefault("lamp.km1", false), "./");
  EXPECT_EQ(StripNameDefault("c:\\images\\lamp.km1", false), "./");  // no folder on this system
  EXPECT_EQ(StripNameDefault("samples/star.km1", true), "c:\\images\\");
}

}  // namespace
}  // namespace lxr4
