// libFuzzer entry over the number texts and the header's key lines. The first
// byte chooses: a double's 8 bytes and a pattern for FormatNumber, a text for
// ParseDecimal and the integer conversions, or header lines (line feeds become
// the header's line ends) read as a camera image header with an End line added.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "base/number_text.h"
#include "imagefile/camera_image_reader.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// A pattern from the bytes: "#" and "0" digits, at most one ".", then "0"s.
std::string Pattern(std::string_view bytes) {
  std::string pattern;
  bool point = false;
  for (const char b : bytes) {
    if (b == '.' && !point) {
      point = true;
      pattern += '.';
    } else {
      pattern += point || (b & 1) ? '0' : '#';
    }
  }
  return pattern;
}

void Format(std::string_view bytes) {
  if (bytes.size() < 8) return;
  double value = 0;
  std::memcpy(&value, bytes.data(), 8);
  const std::string pattern = Pattern(bytes.substr(8, 40));
  const std::string text = lxr4::FormatNumber(value, pattern);
  // Only "#" digits show nothing for a value that rounds to 0, as they should.
  if (text.empty()) Check(pattern.find('0') == std::string::npos);
  if (!std::isfinite(value) || text.empty()) return;
  Check(text.find_first_not_of("-0123456789.") == std::string::npos);
  const std::size_t point = pattern.find('.');
  const int decimals = point == std::string::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
  const std::optional<double> back = lxr4::ParseDecimal(text);
  Check(back.has_value());
  // Within half the last decimal, plus the spacing of doubles at the value's size.
  const double spacing = 4 * std::fabs(value) * std::numeric_limits<double>::epsilon();
  if (std::fabs(value) < 1e15)
    Check(std::fabs(*back - value) <= 0.5 * std::pow(10.0, -decimals) + spacing + 1e-12);
}

void Parse(std::string_view text) {
  const std::optional<double> value = lxr4::ParseDecimal(text);
  if (!value) return;
  Check(std::isfinite(*value));
  if (const auto i = lxr4::ToInt16(*value)) Check(std::fabs(*i - *value) <= 0.5);
  if (const auto i = lxr4::ToInt32(*value)) Check(std::fabs(*i - *value) <= 0.5);
  Check(!lxr4::FormatNumber(*value, "###0.00").empty());
}

void Header(std::string_view lines) {
  std::string block = "KM-1 Image\n\r";
  for (const char c : lines) block += c == '\n' ? std::string("\n\r") : std::string(1, c);
  block += "\n\rEnd\n\r";
  if (block.size() < 2048) block.resize(2048, ' ');
  block.append(2 * 20 * 768, '\x01');
  const std::span file(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
  const lxr4::CameraImageFile image = lxr4::ReadCameraImage(file, lxr4::ReaderStart{true, 20, 768});
  if (image.error != lxr4::ReadError::None) return;
  for (const auto size : {image.header.pixelWidth, image.header.pixelHeight})
    if (size) Check(*size == 0 || (*size >= 0.0999f && *size <= 1000.001f));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 3) {
    case 0:
      Format(rest);
      break;
    case 1:
      Parse(rest);
      break;
    default:
      Header(rest);
      break;
  }
  return 0;
}
