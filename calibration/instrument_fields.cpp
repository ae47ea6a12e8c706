#include "calibration/instrument_fields.h"

#include <array>
#include <charconv>

#include "base/number_text.h"

namespace lxr4 {

namespace {
// The fewest digits that read back, with a point whatever the locale.
template <class T>
std::string Shortest(T value) {
  std::array<char, 64> text{};
  const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} ? std::string(text.data(), end) : std::string("0");
}

std::optional<double> Within(const std::string& text, double low, bool lowIncluded, double high) {
  const std::optional<double> v = ParseDecimal(text);
  if (!v || *v > high || *v < low || (!lowIncluded && *v == low)) return std::nullopt;
  return v;
}

constexpr const char* kUnchanged = " - settings unchanged!";
}  // namespace

InstrumentFields FieldsOf(const InstrumentSettings& settings) {
  return {Shortest(settings.grooveDensity), Shortest(settings.deviationAngle),
          Shortest(settings.referenceColumn), settings.correction,
          settings.pixelSize ? Shortest(*settings.pixelSize) : std::string()};
}

InstrumentReading SettingsOf(const InstrumentFields& fields) {
  InstrumentSettings s;
  const std::optional<double> density = Within(fields.grooveDensity, 0, false, 10000);
  if (!density)
    return {
        {},
        std::string("The groove density must be a number of lines/mm above 0 and up to 10000") + kUnchanged};
  const std::optional<double> deviation = Within(fields.deviationAngle, 0, true, 180);
  if (!deviation)
    return {{}, std::string("The deviation angle must be a number of degrees from 0 to 180") + kUnchanged};
  const std::optional<double> column = Within(fields.referenceColumn, 1, true, 768);
  if (!column) return {{}, std::string("The reference column must be a number from 1 to 768") + kUnchanged};
  s.grooveDensity = *density;
  s.deviationAngle = *deviation;
  s.referenceColumn = *column;
  s.correction = fields.correction;
  const std::optional<double> blank = ParseDecimal(fields.pixelSize);
  if (!blank && fields.pixelSize.find_first_not_of(" ") != std::string::npos && fields.pixelSize != "-")
    return {{},
            std::string("The pixel size must be a number of micrometres above 0, or empty for the image's") +
                kUnchanged};
  if (blank) {
    const std::optional<double> size = Within(fields.pixelSize, 0, false, 1000);
    if (!size)
      return {
          {},
          std::string("The pixel size must be a number of micrometres above 0, or empty for the image's") +
              kUnchanged};
    s.pixelSize = static_cast<float>(*size);
  }
  return {s, {}};
}

}  // namespace lxr4
