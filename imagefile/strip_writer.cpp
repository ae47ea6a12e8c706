#include "imagefile/strip_writer.h"

#include <algorithm>

namespace lxr4 {

namespace {
constexpr std::uint8_t kBlank = ' ';
constexpr std::size_t kModelNameBytes = 5;  // "KM-1 "
constexpr std::size_t kSearchBytes = 30;    // where the first capital I is looked for
}  // namespace

HeaderBytes StripHeader(std::span<const std::uint8_t, kStripHeaderBytes> source) {
  HeaderBytes header;
  header.fill(kBlank);
  const std::uint8_t model[kModelNameBytes] = {'K', 'M', '-', '1', ' '};
  std::copy(std::begin(model), std::end(model), header.begin());
  // Offset (0-based) of the first 'I' in the first 30 bytes, or 30 when none.
  const auto searched = source.first(kSearchBytes);
  const auto from = static_cast<std::size_t>(std::find(searched.begin(), searched.end(), 'I') - searched.begin());
  const std::size_t count = std::min(kStripHeaderBytes - kModelNameBytes, kStripHeaderBytes - from);
  std::copy_n(source.begin() + static_cast<std::ptrdiff_t>(from), count,
              header.begin() + static_cast<std::ptrdiff_t>(kModelNameBytes));
  return header;
}

std::int16_t StripValue(std::int32_t spectrumValue) {
  return static_cast<std::int16_t>(std::clamp(spectrumValue / 20, 0, 32767));
}

std::vector<std::uint8_t> StripImage(std::span<const std::uint8_t, kStripHeaderBytes> source,
                                     std::span<const std::int32_t> spectrum, int height) {
  std::vector<std::uint8_t> row;
  row.reserve(spectrum.size() * 2);
  for (std::int32_t v : spectrum) {
    const auto value = static_cast<std::uint16_t>(StripValue(v));
    row.push_back(static_cast<std::uint8_t>(value % 256));
    row.push_back(static_cast<std::uint8_t>(value / 256));
  }
  const HeaderBytes header = StripHeader(source);
  std::vector<std::uint8_t> file(header.begin(), header.end());
  for (int r = 0; r < height; ++r) file.insert(file.end(), row.begin(), row.end());
  return file;
}

}  // namespace lxr4
