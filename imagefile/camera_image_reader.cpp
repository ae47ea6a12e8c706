#include "imagefile/camera_image_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "base/number_text.h"

namespace lxr4 {

namespace {

enum class Key : std::uint8_t { Height, Width, Background, Range, XPixelSize, YPixelSize, Date, Time };

struct KeyText {
  Key key;
  std::string_view text;
};

// Compared at the start of each line in this order.
constexpr std::array<KeyText, 8> kKeys{{
    {Key::Height, "Height ="},
    {Key::Width, "Width ="},
    {Key::Background, "Background ="},
    {Key::Range, "Range ="},
    {Key::XPixelSize, "X_pixel_size ="},
    {Key::YPixelSize, "Y_pixel_size ="},
    {Key::Date, "Date ="},
    {Key::Time, "Time ="},
}};

constexpr std::uint8_t kCarriageReturn = 13;
constexpr std::int32_t kStoredMax = 32767;

// A pixel size in millimetres as micrometres, in single precision. 0 means
// unknown; any other size must be one a camera can have, 0.1 micrometre to 1 mm
// (for `bin` camera pixels side by side, each of them), or the calibration
// would fit absurd focal lengths and wavelengths.
std::optional<float> ToMicrometres(double millimetres, int bin = 1) {
  const double camera = millimetres / bin;
  if (millimetres != 0 && !(camera >= kMinPixelMillimetres && camera <= kMaxPixelMillimetres))
    return std::nullopt;
  const float micrometres = static_cast<float>(millimetres) * 1000.0f;
  if (!std::isfinite(micrometres)) return std::nullopt;
  return micrometres;
}

// Stores one key line's value; false when the value does not convert.
bool ApplyKey(Key key, std::string_view value, int columnBin, HeaderValues& header) {
  switch (key) {
    case Key::Date:
      header.captionSuffix += " captured on ";
      header.captionSuffix += value;
      return true;
    case Key::Time:
      header.captionSuffix += " at ";
      header.captionSuffix += value;
      return true;
    default:
      break;
  }
  const std::optional<double> number = ParseDecimal(value);
  if (!number) return false;
  switch (key) {
    case Key::Height:
      header.height = ToInt16(*number);
      return header.height.has_value();
    case Key::Width:
      header.width = ToInt16(*number);
      return header.width.has_value();
    case Key::Background:
      header.background = ToInt16(*number);
      return header.background.has_value();
    case Key::Range:
      header.range = ToInt32(*number);
      return header.range.has_value();
    case Key::XPixelSize:
      header.pixelWidth = ToMicrometres(*number, columnBin);
      return header.pixelWidth.has_value();
    case Key::YPixelSize:
      header.pixelHeight = ToMicrometres(*number);
      return header.pixelHeight.has_value();
    default:
      return false;
  }
}

// Reads the header's text lines from the start of the file until the line
// whose first three characters are "End". A line ends at a carriage return;
// its last character (the line feed before the return) is not content.
ReadError ParseHeader(std::string_view text, const ReaderStart& reader, HeaderValues& header) {
  std::string_view firstThree;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(static_cast<char>(kCarriageReturn), start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.size() < 4) continue;  // n = length - 1 is below 3: skipped
    const std::size_t n = line.size() - 1;
    if (line.find("Compressed Image") != std::string_view::npos) header.compressed = true;
    firstThree = line.substr(0, 3);
    for (const KeyText& key : kKeys) {
      if (!line.starts_with(key.text)) continue;
      if (key.key == Key::YPixelSize && !reader.objectSlot) break;
      // The value runs from the second character after the key (the first,
      // normally a blank, is skipped whatever it is) to character n.
      const std::size_t from = key.text.size() + 1;
      const std::string_view value = from < n ? line.substr(from, n - from) : std::string_view{};
      if (!ApplyKey(key.key, value, std::max(reader.columnBin, 1), header)) return ReadError::BadHeaderValue;
      break;
    }
    if (firstThree == "End") return ReadError::None;
  }
  return ReadError::MissingEnd;
}

std::int32_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return bytes[at + 1] * 256 + bytes[at];
}

std::int16_t Stored(std::int32_t value) { return static_cast<std::int16_t>(std::min(value, kStoredMax)); }

ReadError ReadUncompressed(std::span<const std::uint8_t> data, int height, int width,
                           std::vector<std::int16_t>& pixels) {
  const std::size_t count = static_cast<std::size_t>(height) * static_cast<std::size_t>(width);
  if (data.size() < 2 * count) return ReadError::TruncatedPixels;
  for (std::size_t i = 0; i < count; ++i) {
    const auto value = static_cast<std::int16_t>(static_cast<std::uint16_t>(Word(data, 2 * i)));
    pixels[i] = value < 0 ? std::int16_t{kStoredMax} : value;
  }
  return ReadError::None;
}

// Decodes one encoded row: the first value in two bytes, then per column a
// code byte: 128 escapes to a two-byte value, 0..127 and 129..255 are signed
// deltas on a 32-bit running value.
ReadError DecodeRow(std::span<const std::uint8_t> row, std::span<std::int16_t> out) {
  if (row.size() < 2) return ReadError::RowOverrun;
  std::int32_t v = Word(row, 0);
  out[0] = Stored(v);
  std::size_t k = 2;
  for (std::size_t column = 1; column < out.size(); ++column) {
    if (k >= row.size()) return ReadError::RowOverrun;
    const std::uint8_t b = row[k];
    if (b == 128) {
      if (k + 2 >= row.size()) return ReadError::RowOverrun;
      v = Word(row, k + 1);
      k += 2;
    } else {
      v += b <= 127 ? b : b - 256;
    }
    ++k;
    if (v < std::numeric_limits<std::int16_t>::min()) return ReadError::ValueTooLow;
    out[column] = Stored(v);
  }
  return ReadError::None;
}

ReadError ReadCompressed(std::span<const std::uint8_t> data, int height, int width,
                         std::vector<std::int16_t>& pixels) {
  const auto columns = static_cast<std::size_t>(width);
  std::size_t pos = 0;
  for (std::size_t r = 0; r < static_cast<std::size_t>(height); ++r) {
    if (data.size() - pos < 2) return ReadError::TruncatedPixels;
    const auto length = static_cast<std::int16_t>(static_cast<std::uint16_t>(Word(data, pos)));
    pos += 2;
    if (length < 1) return ReadError::BadRowLength;
    const auto rowBytes = static_cast<std::size_t>(length);
    if (data.size() - pos < rowBytes) return ReadError::TruncatedPixels;
    const std::span<const std::uint8_t> row = data.subspan(pos, rowBytes);
    pos += rowBytes;
    const std::span<std::int16_t> out(pixels.data() + r * columns, columns);
    if (rowBytes == 2 * columns) {
      for (std::size_t c = 0; c < columns; ++c) out[c] = Stored(Word(row, 2 * c));
    } else if (const ReadError error = DecodeRow(row, out); error != ReadError::None) {
      return error;
    }
    out[0] = out[1];  // the camera's first column is unreliable in this layout
  }
  return ReadError::None;
}

}  // namespace

CameraImageFile ReadCameraImage(std::span<const std::uint8_t> file, const ReaderStart& start) {
  CameraImageFile result;
  std::copy_n(file.begin(), std::min(file.size(), kHeaderBlockBytes), result.headerBlock.begin());

  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
  result.error = ParseHeader(text, start, result.header);
  if (result.error != ReadError::None) return result;

  result.height = result.header.height.value_or(start.height);
  result.width = result.header.width.value_or(start.width);
  if (result.height > kMaxImageRows) {
    result.error = ReadError::TooTall;
  } else if (result.width > kMaxImageColumns) {
    result.error = ReadError::TooWide;
  } else if (result.height < 1 || result.width < 2) {
    result.error = ReadError::BadSize;
  }
  if (result.error != ReadError::None) return result;

  std::vector<std::int16_t> pixels(static_cast<std::size_t>(result.height * result.width));
  const std::span<const std::uint8_t> data =
      file.size() > kHeaderBlockBytes ? file.subspan(kHeaderBlockBytes) : std::span<const std::uint8_t>{};
  result.error = result.header.compressed ? ReadCompressed(data, result.height, result.width, pixels)
                                          : ReadUncompressed(data, result.height, result.width, pixels);
  if (result.error == ReadError::None) result.pixels = std::move(pixels);
  return result;
}

}  // namespace lxr4
