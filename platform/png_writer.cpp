#include "platform/png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <new>
#include <utility>

namespace lxr4 {

namespace {

struct Output {
  std::vector<std::uint8_t> bytes;
  bool outOfMemory = false;
};

// libpng stops by a long jump out of these; no C++ object may be left behind
// to destroy between here and Encode's setjmp.
[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

void Append(png_structp png, png_bytep data, std::size_t size) {
  auto* out = static_cast<Output*>(png_get_io_ptr(png));
  try {
    out->bytes.insert(out->bytes.end(), data, data + size);
  } catch (const std::bad_alloc&) {
    out->outOfMemory = true;
  }
  if (out->outOfMemory) png_error(png, "out of memory");
}

void Flush(png_structp) {}

// Writes the surface through `png` into its output, using `row` (3 bytes a
// pixel) for each row's bytes. False when libpng failed.
bool Encode(png_structp png, png_infop info, const Surface& surface, std::uint8_t* row) {
  if (setjmp(png_jmpbuf(png))) return false;
  const auto width = static_cast<png_uint_32>(surface.width());
  const auto height = static_cast<png_uint_32>(surface.height());
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, 1);
  // The pictures are long runs of one colour: run-length matching finds them
  // at a fraction of the cost of a full search, for files about as small.
  png_set_compression_strategy(png, Z_RLE);
  png_write_info(png, info);
  const std::uint32_t* pixel = surface.Pixels().data();
  for (png_uint_32 y = 0; y < height; ++y) {
    std::uint8_t* at = row;
    for (png_uint_32 x = 0; x < width; ++x, ++pixel) {  // 0xffRRGGBB
      *at++ = static_cast<std::uint8_t>(*pixel >> 16);
      *at++ = static_cast<std::uint8_t>(*pixel >> 8);
      *at++ = static_cast<std::uint8_t>(*pixel);
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> PngBytes(const Surface& surface) {
  std::vector<std::uint8_t> row(3 * static_cast<std::size_t>(surface.width()));
  Output out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning);
  if (png == nullptr) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  bool ok = info != nullptr;
  if (ok) {
    png_set_write_fn(png, &out, Append, Flush);
    ok = Encode(png, info, surface, row.data());
  }
  png_destroy_write_struct(&png, &info);
  if (!ok) return std::nullopt;
  return std::move(out.bytes);
}

}  // namespace lxr4
