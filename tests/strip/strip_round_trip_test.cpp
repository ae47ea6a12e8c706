// A strip read back by the program's own reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "imagefile/camera_image_reader.h"
#include "imagefile/strip_writer.h"

namespace lxr4 {
namespace {

HeaderBytes Block(std::string_view text) {
  HeaderBytes block{};
  std::copy(text.begin(), text.end(), block.begin());
  return block;
}

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

}  // namespace
}  // namespace lxr4
