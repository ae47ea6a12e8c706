#include "output/spectrum_csv.h"

#include <array>
#include <charconv>
#include <cstddef>

namespace lxr4 {

namespace {
// std::to_chars never looks at the locale.
template <typename T, typename... Format>
void Append(std::string& out, T value, Format... format) {
  std::array<char, 64> text{};
  const auto end = std::to_chars(text.data(), text.data() + text.size(), value, format...).ptr;
  out.append(text.data(), end);
}
}  // namespace

std::string SpectrumCsv(std::span<const std::int32_t> values, std::span<const float> wavelengths) {
  const bool calibrated = !wavelengths.empty();
  std::string out = calibrated ? "pixel,wavelength_angstrom,value\n" : "pixel,value\n";
  for (std::size_t i = 0; i < values.size(); ++i) {
    Append(out, i + 1);
    out += ',';
    if (calibrated) {
      Append(out, i < wavelengths.size() ? wavelengths[i] : 0.0f, std::chars_format::fixed);
      out += ',';
    }
    Append(out, values[i]);
    out += '\n';
  }
  return out;
}

}  // namespace lxr4
