#include "imagefile/strip_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

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

constexpr std::string_view kLines =
    "Height = 20\n\rWidth = 765\n\rBackground = 100\n\rRange = 2000\n\r"
    "X_pixel_size = 0.009\n\rDate = 12/05/99\n\rTime = 21:14:03\n\rEnd\n\r";

TEST(StripHeader, CompressedSourceBecomesUncompressedWithElevenBlanksAtTheEnd) {
  const std::string source = "KM-1 Compressed Image\n\r" + std::string(kLines);
  const HeaderBytes header = StripHeader(Block(source));
  const std::string expected = "KM-1 Image\n\r" + std::string(kLines);
  EXPECT_EQ(AsText(header).substr(0, expected.size()), expected);
  // The rest of the source block follows, shifted 11 bytes toward the start.
  EXPECT_TRUE(std::all_of(header.begin() + static_cast<std::ptrdiff_t>(expected.size()), header.end() - 11,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(AsText(header).substr(kStripHeaderBytes - 11), std::string(11, ' '));
}

TEST(StripHeader, UncompressedSourceKeepsBytes6To2048) {
  HeaderBytes source = Block("KM-1 Image\n\r" + std::string(kLines));
  source.back() = 'x';  // the very last byte is copied too
  EXPECT_EQ(StripHeader(source), source);
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

TEST(StripHeader, UnloadedSlotGivesZerosFromByte31ThenBlanks) {
  const HeaderBytes header = StripHeader(HeaderBytes{});
  EXPECT_EQ(AsText(header).substr(0, 5), "KM-1 ");
  EXPECT_TRUE(std::all_of(header.begin() + 5, header.begin() + 5 + 2018, [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(AsText(header).substr(5 + 2018), std::string(25, ' '));
}

struct ValueCase {
  std::int32_t spectrum;
  std::int16_t strip;
};

TEST(StripValue, DividesBy20TowardZeroAndClamps) {
  const ValueCase cases[] = {
      {41, 2},     {39, 1},         {40, 2},         {19, 0},         {0, 0},
      {-1, 0},     {-39, 0},        {-700000, 0},    {655359, 32767}, {655360, 32767},
      {700000, 32767}, {std::numeric_limits<std::int32_t>::max(), 32767},
      {std::numeric_limits<std::int32_t>::min(), 0},
  };
  for (const ValueCase& c : cases) {
    SCOPED_TRACE(c.spectrum);
    EXPECT_EQ(StripValue(c.spectrum), c.strip);
  }
}

TEST(StripImage, FullSizeStripIs32768BytesOfIdenticalRows) {
  std::vector<std::int32_t> spectrum(768);
  for (std::size_t i = 0; i < spectrum.size(); ++i) spectrum[i] = static_cast<std::int32_t>(i) * 900;
  const std::vector<std::uint8_t> file = StripImage(Block("KM-1 Image\n\r"), spectrum, 20);
  ASSERT_EQ(file.size(), 32768u);
  const std::span<const std::uint8_t> rows = std::span(file).subspan(2048);
  for (std::size_t r = 1; r < 20; ++r) {
    SCOPED_TRACE(r);
    EXPECT_TRUE(std::equal(rows.begin(), rows.begin() + 1536, rows.begin() + static_cast<std::ptrdiff_t>(r * 1536)));
  }
  // Column 2: 900 / 20 = 45; column 768: 690300 / 20 clamps to 32767; low byte first.
  EXPECT_EQ(rows[2], 45);
  EXPECT_EQ(rows[3], 0);
  EXPECT_EQ(rows[1534], 0xFF);
  EXPECT_EQ(rows[1535], 0x7F);
}

TEST(StripImage, LittleEndianValues) {
  const std::int32_t spectrum[] = {0x1234 * 20, 41, -5};
  const std::vector<std::uint8_t> file = StripImage(Block("Image"), spectrum, 1);
  const std::vector<std::uint8_t> pixels(file.begin() + 2048, file.end());
  EXPECT_EQ(pixels, (std::vector<std::uint8_t>{0x34, 0x12, 2, 0, 0, 0}));
}

TEST(StripImage, NoRowsForHeightBelow1) {
  const std::int32_t spectrum[] = {100, 200};
  EXPECT_EQ(StripImage(Block("Image"), spectrum, 0).size(), 2048u);
  EXPECT_EQ(StripImage(Block("Image"), spectrum, -3).size(), 2048u);
}

}  // namespace
}  // namespace lxr4
