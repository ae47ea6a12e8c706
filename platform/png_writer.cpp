#include "platform/png_writer.h"

#define ZLIB_CONST  // zlib reads its input through pointers to const
#include <zlib.h>

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace lxr4 {

namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (const int shift : {24, 16, 8, 0}) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::uint8_t* data, std::size_t size) {
  Put32(out, static_cast<std::uint32_t>(size));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data, data + size);
  Put32(out, static_cast<std::uint32_t>(crc32_z(0, out.data() + start, size + 4)));
}

// Writes rows [first, last) of the surface as PNG scan lines (a filter byte,
// none, then each pixel's red, green and blue) into `out`.
void PutScanLines(const Surface& surface, int first, int last, std::uint8_t* out) {
  const auto width = static_cast<std::size_t>(surface.width());
  for (int y = first; y < last; ++y) {
    *out++ = 0;
    const std::uint32_t* pixel = surface.Row(y);
    for (std::size_t x = 0; x < width; ++x, ++pixel) {  // 0xffRRGGBB
      *out++ = static_cast<std::uint8_t>(*pixel >> 16);
      *out++ = static_cast<std::uint8_t>(*pixel >> 8);
      *out++ = static_cast<std::uint8_t>(*pixel);
    }
  }
}

// Runs deflate over `in`, with `flush` at its end, appending what it writes
// to `out`; zlib's status.
int Deflate(z_stream& z, std::span<const std::uint8_t> in, int flush, std::vector<std::uint8_t>& out) {
  std::array<std::uint8_t, 16 * 1024> buffer;
  z.next_in = in.data();
  z.avail_in = static_cast<uInt>(in.size());
  int status = Z_OK;
  do {
    z.next_out = buffer.data();
    z.avail_out = static_cast<uInt>(buffer.size());
    status = deflate(&z, flush);
    out.insert(out.end(), buffer.data(), z.next_out);
  } while (status == Z_OK && z.avail_out == 0);
  return status;
}

// Whether rows [from, from + count) show the same pixels as the rows above them.
bool SameAsRowsAbove(const Surface& surface, int from, int count) {
  if (from < count) return false;
  for (int y = from; y < from + count; ++y)
    if (!surface.SameRows(y, y - count)) return false;
  return true;
}

// The surface's scan lines as a zlib stream; nothing when zlib fails. Each
// group of rows of about 16 KiB is deflated afresh (after a reset) into
// blocks that end on a byte boundary: zlib never slides its window along,
// which would cost more than all the rest (a picture's long runs of one
// colour lose nothing by it), and a group the same as the one before it (the
// window's empty lower part) takes the same bytes again.
std::optional<std::vector<std::uint8_t>> Deflated(const Surface& surface) {
  const std::size_t lineBytes = 3 * static_cast<std::size_t>(surface.width()) + 1;
  const int rowsAtOnce = static_cast<int>(std::max<std::size_t>(1, (16 * 1024) / lineBytes));
  std::vector<std::uint8_t> lines(lineBytes * static_cast<std::size_t>(rowsAtOnce));
  std::vector<std::uint8_t> stream = {0x78, 0x01};  // deflate, 32 KiB window, fastest level
  uLong adler = adler32(0, nullptr, 0);
  z_stream z{};
  // Raw deflate blocks (the zlib header and checksum are written here); a
  // smaller hash table than zlib's default, which run-length matching never
  // reads and each reset clears, and blocks of 4096 symbols, which fit the
  // picture's changing contents closely.
  if (deflateInit2(&z, 1, Z_DEFLATED, -15, 6, Z_RLE) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> group;  // the last group deflated
  uLong groupAdler = 0;
  int status = Z_OK;
  for (int from = 0; status == Z_OK && from < surface.height(); from += rowsAtOnce) {
    const int rows = std::min(rowsAtOnce, surface.height() - from);
    const std::size_t size = lineBytes * static_cast<std::size_t>(rows);
    if (rows < rowsAtOnce || !SameAsRowsAbove(surface, from, rows)) {
      PutScanLines(surface, from, from + rows, lines.data());
      groupAdler = adler32_z(adler32(0, nullptr, 0), lines.data(), size);
      group.clear();
      status = Deflate(z, {lines.data(), size}, Z_SYNC_FLUSH, group);
      if (status == Z_OK) status = deflateReset(&z);
    }
    stream.insert(stream.end(), group.begin(), group.end());
    adler = adler32_combine(adler, groupAdler, static_cast<z_off_t>(size));
  }
  if (status == Z_OK) status = Deflate(z, {}, Z_FINISH, stream);  // an empty last block
  deflateEnd(&z);
  if (status != Z_STREAM_END) return std::nullopt;
  Put32(stream, static_cast<std::uint32_t>(adler));
  return stream;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PngBytes(const Surface& surface) {
  const std::optional<std::vector<std::uint8_t>> data = Deflated(surface);
  if (!data) return std::nullopt;

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<std::uint8_t> header;
  Put32(header, static_cast<std::uint32_t>(surface.width()));
  Put32(header, static_cast<std::uint32_t>(surface.height()));
  // Bit depth 8, colour type RGB, deflate, no filter, no interlace.
  header.insert(header.end(), {8, 2, 0, 0, 0});
  PutChunk(png, "IHDR", header.data(), header.size());
  PutChunk(png, "IDAT", data->data(), data->size());
  PutChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace lxr4
