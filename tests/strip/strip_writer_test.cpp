// The strip writer at its edges. The golden cases strip-* write the strips of
// a compressed and an uncompressed image, of full size, over an older file,
// with values divided, clamped and in little-endian order, and load them back
// through the program's own reader.
#include "imagefile/strip_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

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

TEST(StripHeader, CopiesFromTheFirstCapitalIAmongTheFirst30Bytes) {
  const struct {
    const char* name;
    std::string source;
    std::string start;  // first bytes of the strip header
  } cases[] = {
      {"I at byte 1 shifts the block right", "Image", "KM-1 Image"},
      {"first of two", "xxIyyIzz", "KM-1 IyyIzz"},
      {"I at byte 30", std::string(29, 'a') + "Ib", "KM-1 Ib"},
      {"I at byte 31 is not looked for", std::string(30, 'a') + "Ib", "KM-1 Ib"},
      {"lower-case i does not count", "KM-1 image" + std::string(20, 'z') + "tail", "KM-1 tail"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(AsText(StripHeader(Block(c.source))).substr(0, c.start.size()), c.start) << c.name;
}

TEST(StripValue, DividesBy20TowardZeroAndClamps) {
  using L = std::numeric_limits<std::int32_t>;
  const std::pair<std::int32_t, std::int16_t> cases[] = {
      {40, 2},     {19, 0},         {0, 0},         {-1, 0},           {-39, 0},
      {-700000, 0}, {655359, 32767}, {655360, 32767}, {L::max(), 32767}, {L::min(), 0},
  };
  for (const auto& [spectrum, strip] : cases) EXPECT_EQ(StripValue(spectrum), strip) << spectrum;
}

TEST(StripImage, NoRowsForHeightBelow1) {
  const std::int32_t spectrum[] = {100, 200};
  EXPECT_EQ(StripImage(Block("Image"), spectrum, 0).size(), 2048u);
  EXPECT_EQ(StripImage(Block("Image"), spectrum, -3).size(), 2048u);
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
