// The PNG writer: checksums, and a decoding of the written file back to the surface.
#include "platform/png_writer.h"

#include <gtest/gtest.h>

#include <string>

namespace lxr4 {
namespace {

std::span<const std::uint8_t> Bytes(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(PngChecksums, KnownValues) {
  EXPECT_EQ(Crc32(Bytes("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc32(Bytes("")), 0u);
  EXPECT_EQ(Adler32(Bytes("Wikipedia")), 0x11E60398u);
  EXPECT_EQ(Adler32(Bytes("")), 1u);
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

struct Chunk {
  std::string type;
  std::vector<std::uint8_t> data;
};

// Splits a PNG into chunks, checking the signature and every chunk's CRC.
std::vector<Chunk> Chunks(const std::vector<std::uint8_t>& png) {
  const std::vector<std::uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  std::vector<Chunk> chunks;
  std::size_t at = 8;
  while (at + 12 <= png.size()) {
    const std::uint32_t length = U32(png, at);
    const auto typeAndData = std::span(png).subspan(at + 4, 4 + length);
    EXPECT_EQ(Crc32(typeAndData), U32(png, at + 8 + length));
    chunks.push_back({std::string(typeAndData.begin(), typeAndData.begin() + 4),
                      std::vector<std::uint8_t>(typeAndData.begin() + 4, typeAndData.end())});
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  return chunks;
}

// Undoes the stored deflate blocks of a zlib stream, checking its Adler-32.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& z) {
  EXPECT_EQ((z[0] * 256 + z[1]) % 31, 0);
  std::vector<std::uint8_t> raw;
  std::size_t at = 2;
  for (bool last = false; !last;) {
    last = (z[at] & 1) != 0;
    EXPECT_EQ(z[at] & 6, 0) << "stored block";
    const unsigned len = z[at + 1] | (unsigned{z[at + 2]} << 8);
    const unsigned nlen = z[at + 3] | (unsigned{z[at + 4]} << 8);
    EXPECT_EQ(len ^ 0xffffu, nlen);
    raw.insert(raw.end(), z.begin() + static_cast<std::ptrdiff_t>(at + 5),
               z.begin() + static_cast<std::ptrdiff_t>(at + 5 + len));
    at += 5 + len;
  }
  EXPECT_EQ(Adler32(raw), U32(z, at));
  EXPECT_EQ(at + 4, z.size());
  return raw;
}

TEST(PngBytes, DecodesBackToTheSurface) {
  // The graph box's size needs two stored blocks; the window's size many.
  for (const auto& [width, height] : {std::pair{3, 2}, std::pair{258, 110}, std::pair{775, 379}}) {
    SCOPED_TRACE(width);
    Surface surface(width, height, kWindowGrey);
    surface.Point(0, 0, kRed);
    surface.Point(width - 1, height - 1, Rgb{1, 2, 3});
    const std::vector<std::uint8_t> png = PngBytes(surface);
    const std::vector<Chunk> chunks = Chunks(png);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    const std::vector<std::uint8_t>& h = chunks[0].data;
    ASSERT_EQ(h.size(), 13u);
    EXPECT_EQ(U32(h, 0), static_cast<std::uint32_t>(width));
    EXPECT_EQ(U32(h, 4), static_cast<std::uint32_t>(height));
    EXPECT_EQ(std::vector<std::uint8_t>(h.begin() + 8, h.end()), (std::vector<std::uint8_t>{8, 2, 0, 0, 0}));

    const std::vector<std::uint8_t> raw = Inflate(chunks[1].data);
    const std::size_t stride = 1 + 3 * static_cast<std::size_t>(width);
    ASSERT_EQ(raw.size(), stride * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      EXPECT_EQ(raw[static_cast<std::size_t>(y) * stride], 0) << "filter of row " << y;
      for (int x = 0; x < width; ++x) {
        const std::size_t p = static_cast<std::size_t>(y) * stride + 1 + 3 * static_cast<std::size_t>(x);
        const Rgb c = surface.At(x, y);
        ASSERT_EQ((Rgb{raw[p], raw[p + 1], raw[p + 2]}), c) << x << "," << y;
      }
    }
    EXPECT_EQ(PngBytes(surface), png) << "deterministic";
  }
}

}  // namespace
}  // namespace lxr4
