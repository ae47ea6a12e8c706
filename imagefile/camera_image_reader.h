// The camera image file reader: a 2048-byte text header of key lines, then
// 16-bit pixels in the uncompressed or the row-compressed layout. Works on the
// file's bytes only; the caller reads the file and stores the result.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lxr4 {

inline constexpr std::size_t kHeaderBlockBytes = 2048;
inline constexpr int kMaxImageRows = 20;
inline constexpr int kMaxImageColumns = 768;
// The pixel sizes a header may give besides 0 (unknown), in millimetres.
inline constexpr double kMinPixelMillimetres = 0.0001;
inline constexpr double kMaxPixelMillimetres = 1.0;

enum class ReadError : std::uint8_t {
  None,
  MissingEnd,       // no header line starting with "End" before the file ends
  BadHeaderValue,   // a key's value is not a number, does not fit its type, or is no possible pixel size
  TooTall,          // more than 20 rows
  TooWide,          // more than 768 columns
  BadSize,          // fewer than 1 row or fewer than 2 columns
  TruncatedPixels,  // the file ends before the pixel data the header promises
  BadRowLength,     // a compressed row length below 1
  RowOverrun,       // an encoded row whose codes need more bytes than its length
  ValueTooLow,      // an encoded row decodes a value below -32768
};

// What the slot held before this load: a key missing from the header leaves
// that value in force (an unset Height reads as 0).
struct ReaderStart {
  bool objectSlot = true;  // "Y_pixel_size =" is read by object loads only
  std::int16_t height = 0;
  std::int16_t width = 0;
  // Camera pixels summed into one image column (an imported FITS frame's bin):
  // X_pixel_size is that many camera pixels wide, and the limits above apply to
  // one camera pixel.
  int columnBin = 1;
};

// The values of the header's key lines; nullopt where the header lacks the key.
struct HeaderValues {
  std::optional<std::int16_t> height, width, background;
  std::optional<std::int32_t> range;
  std::optional<float> pixelWidth, pixelHeight;  // micrometres (the header's millimetres x 1000)
  std::string captionSuffix;  // " captured on DATE" and " at TIME", in line order
  bool compressed = false;    // some line contains "Compressed Image"
};

struct CameraImageFile {
  ReadError error = ReadError::None;
  HeaderValues header;
  std::int16_t height = 0, width = 0;  // the size in force: the header's or the start's
  // height x width values, row by row, first column first. Filled only when error is None.
  std::vector<std::int16_t> pixels;
  std::array<std::uint8_t, kHeaderBlockBytes> headerBlock{};  // the first 2048 bytes, zero-padded

  [[nodiscard]] std::int16_t at(int column, int row) const {
    return pixels[static_cast<std::size_t>((row - 1) * width + (column - 1))];
  }
};

// Parses the header, checks the size limits (too tall before too wide), then
// reads the pixel data in the header's layout. On any error the result holds
// the error code and no pixels; a header error leaves the limits unchecked.
[[nodiscard]] CameraImageFile ReadCameraImage(std::span<const std::uint8_t> file, const ReaderStart& start);

}  // namespace lxr4
