#include "calibration/instrument_fields.h"

#include <array>
#include <charconv>
#include <cmath>

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

// One value's limits. `range` words the whole range; `least`, when set, is
// the smallest positive value a quantity above 0 may take, worded apart
// (the range says "above 0"; a pixel of 1e-45 um is above 0 but no pixel).
struct Limit {
  double low, high;
  bool lowIncluded;
  double least;
  const char* range;
  const char* leastText;
};

Limit LimitOf(GratingValue which) {
  switch (which) {
    case GratingValue::GrooveDensity:
      return {0,
              10000,
              false,
              1,
              "groove density must be a number of lines/mm above 0 and up to 10000",
              "groove density must be at least 1 line/mm"};
    case GratingValue::DeviationAngle:
      return {0, 180, true, 0, "deviation angle must be a number of degrees from 0 to 180", ""};
    case GratingValue::ReferenceColumn:
      return {1, 768, true, 0, "reference column must be a number from 1 to 768", ""};
    case GratingValue::PixelSize:
      return {0,
              1000,
              false,
              0.1,
              "pixel size must be a number of micrometres above 0",
              "pixel size must be at least 0.1 micrometres"};
    case GratingValue::FocalLength:
      return {0,
              1e6,
              false,
              0.001,
              "focal length must be a number of millimetres above 0 and up to 1000000",
              "focal length must be at least 0.001 mm"};
    case GratingValue::AlphaAngle:
      return {-90, 90, true, 0, "alpha angle must be a number of degrees from -90 to 90", ""};
  }
  return {0, 0, true, 0, "", ""};
}

constexpr const char* kUnchanged = " - settings unchanged!";
constexpr const char* kImagePixelSize = ", or empty for the image's";

std::optional<std::string> DialogProblem(GratingValue which, const std::string& text) {
  const std::optional<double> v = ParseDecimal(text);
  const std::optional<std::string> problem =
      v ? GratingValueProblem(which, *v) : std::optional<std::string>(LimitOf(which).range);
  if (!problem) return std::nullopt;
  const bool range = *problem == LimitOf(which).range;
  return "The " + *problem + (which == GratingValue::PixelSize && range ? kImagePixelSize : "") + kUnchanged;
}
}  // namespace

std::optional<std::string> GratingValueProblem(GratingValue which, double value) {
  const Limit l = LimitOf(which);
  if (!std::isfinite(value) || value > l.high || value < l.low || (!l.lowIncluded && value == l.low))
    return std::string(l.range);
  if (l.least > 0 && value < l.least) return std::string(l.leastText);
  return std::nullopt;
}

InstrumentFields FieldsOf(const InstrumentSettings& settings) {
  return {Shortest(settings.grooveDensity), Shortest(settings.deviationAngle),
          Shortest(settings.referenceColumn), settings.correction,
          settings.pixelSize ? Shortest(*settings.pixelSize) : std::string()};
}

InstrumentReading SettingsOf(const InstrumentFields& fields) {
  if (auto p = DialogProblem(GratingValue::GrooveDensity, fields.grooveDensity)) return {{}, *p};
  if (auto p = DialogProblem(GratingValue::DeviationAngle, fields.deviationAngle)) return {{}, *p};
  if (auto p = DialogProblem(GratingValue::ReferenceColumn, fields.referenceColumn)) return {{}, *p};
  InstrumentSettings s;
  s.grooveDensity = *ParseDecimal(fields.grooveDensity);
  s.deviationAngle = *ParseDecimal(fields.deviationAngle);
  s.referenceColumn = *ParseDecimal(fields.referenceColumn);
  s.correction = fields.correction;
  const bool empty = fields.pixelSize.find_first_not_of(' ') == std::string::npos || fields.pixelSize == "-";
  if (!empty) {
    if (auto p = DialogProblem(GratingValue::PixelSize, fields.pixelSize)) return {{}, *p};
    s.pixelSize = static_cast<float>(*ParseDecimal(fields.pixelSize));
  }
  return {s, {}};
}

}  // namespace lxr4
