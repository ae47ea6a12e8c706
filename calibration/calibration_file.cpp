#include "calibration/calibration_file.h"

#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "base/number_text.h"
#include "base/num.h"

namespace lxr4 {

namespace {

constexpr std::string_view kFirstLine = "LXR4 calibration 1";

std::string Number(double v) { return ShortestText(v); }

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  while (!line.empty()) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) break;
    line.remove_prefix(start);
    const std::size_t end = line.find_first_of(" \t");
    fields.push_back(line.substr(0, end));
    line.remove_prefix(end == std::string_view::npos ? line.size() : end);
  }
  return fields;
}

CalibrationFileResult Refused(CalibrationFileError error, std::string message) {
  CalibrationFileResult r;
  r.error = error;
  r.message = std::move(message);
  return r;
}

}  // namespace

std::string FormatCalibrationFile(const CalibrationFile& file) {
  const InstrumentSettings& s = file.settings;
  std::string t = std::string(kFirstLine) + "\n";
  t += "groove_density " + Number(s.grooveDensity) + "\n";
  t += "deviation_angle " + Number(s.deviationAngle) + "\n";
  t += "reference_column " + Number(s.referenceColumn) + "\n";
  t += std::string("correction ") + (s.correction ? "on" : "off") + "\n";
  t += "pixel_size " + (s.pixelSize ? ShortestText(*s.pixelSize) : std::string("none")) + "\n";
  const FittedCalibration& c = file.calibration;
  if (c.kind == FitKind::Grating) {
    const GratingParameters& p = c.grating.parameters;
    t += "model grating\n";
    t += "pixel_width " + ShortestText(c.grating.pixelWidth) + "\n";
    t += "focal_length " + Number(p.focalLength) + "\n";
    t += "alpha_angle " + Number(p.alphaAngle) + "\n";
    t += "theta_zero_column " + Number(p.referenceColumn) + "\n";
    t += std::string("orientation ") + (p.descending ? "descending" : "ascending") + "\n";
  } else {
    const PolynomialModel& p = c.polynomial;
    t += "model polynomial\n";
    t += "order " + std::to_string(p.order) + "\n";
    t += "centre " + Number(p.centre) + "\n";
    t += "scale " + Number(p.scale) + "\n";
    t += "coefficients";
    for (int k = 0; k <= p.order; ++k) t += " " + Number(p.coefficients[static_cast<std::size_t>(k)]);
    t += "\n";
  }
  for (const CalibrationLine& l : file.lines) {
    std::string label = l.label;
    for (char& ch : label)
      if (ch == '\n' || ch == '\r') ch = ' ';
    t += "line " + Number(l.wavelength) + " " + ShortestText(l.column) + (l.used ? " used" : " unused");
    t += label.empty() ? "\n" : " " + label + "\n";
  }
  return t;
}

CalibrationFileResult ParseCalibrationFile(std::string_view text) {
  std::map<std::string, std::vector<std::string_view>, std::less<>> values;
  CalibrationFile file;
  int number = 0;
  bool first = true;
  while (!text.empty() || first) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (first) {
      if (line != kFirstLine) return Refused(CalibrationFileError::NotACalibration,
                                             "This is not a calibration file of this program!");
      first = false;
      continue;
    }
    const std::vector<std::string_view> f = Fields(line);
    if (f.empty()) continue;
    const std::string bad = "Line " + std::to_string(number) + " of the calibration file cannot be read!";
    if (f[0] == "line") {
      // line WAVELENGTH COLUMN used|unused [LABEL...]
      if (f.size() < 4) return Refused(CalibrationFileError::BadLine, bad);
      const std::optional<double> w = ParseDecimal(f[1]), c = ParseDecimal(f[2]);
      CalibrationLine l;
      if (!w || !c || !(*w > 0) || std::fabs(*c) > std::numeric_limits<float>::max() ||
          (f[3] != "used" && f[3] != "unused"))
        return Refused(CalibrationFileError::BadLine, bad);
      l.wavelength = *w;
      l.column = static_cast<float>(*c);
      l.used = f[3] == "used";
      if (f.size() > 4) {
        const std::size_t from = line.find(f[4]);
        l.label = std::string(line.substr(from, line.find_last_not_of(" \t") + 1 - from));
      }
      file.lines.push_back(l);
      continue;
    }
    const auto [it, inserted] = values.try_emplace(std::string(f[0]), f.begin() + 1, f.end());
    if (!inserted) return Refused(CalibrationFileError::BadLine, bad);
    static const std::vector<std::string_view> known{
        "groove_density", "deviation_angle", "reference_column", "correction", "pixel_size", "model",
        "pixel_width", "focal_length", "alpha_angle", "theta_zero_column", "orientation", "order", "centre",
        "scale", "coefficients"};
    bool isKnown = false;
    for (const std::string_view k : known) isKnown = isKnown || f[0] == k;
    if (!isKnown || it->second.empty()) return Refused(CalibrationFileError::BadLine, bad);
  }

  std::string missing;
  const auto word = [&](std::string_view key) -> std::string_view {
    const auto it = values.find(key);
    if (it == values.end() || it->second.size() != 1) {
      if (missing.empty()) missing = key;
      return {};
    }
    return it->second[0];
  };
  // A finite number, above 0 when `positive`.
  const auto value = [&](std::string_view key, bool positive) -> double {
    const std::optional<double> v = ParseDecimal(word(key));
    if (!v || (positive && !(*v > 0))) {
      if (missing.empty()) missing = key;
      return 1;
    }
    return *v;
  };
  // A size in micrometres above 0 that single precision holds.
  const auto single = [&](std::string_view key) -> float {
    const double v = value(key, true);
    if (v <= std::numeric_limits<float>::max() && static_cast<float>(v) > 0) return static_cast<float>(v);
    if (missing.empty()) missing = key;
    return 1;
  };
  InstrumentSettings& s = file.settings;
  s.grooveDensity = value("groove_density", true);
  s.deviationAngle = value("deviation_angle", false);
  s.referenceColumn = value("reference_column", false);
  const std::string_view correction = word("correction");
  if (correction != "on" && correction != "off" && missing.empty()) missing = "correction";
  s.correction = correction == "on";
  if (word("pixel_size") != "none") {
    s.pixelSize = single("pixel_size");
  }
  const std::string_view model = word("model");
  FittedCalibration& c = file.calibration;
  if (model == "grating") {
    c.kind = FitKind::Grating;
    c.grating.settings = s;
    c.grating.pixelWidth = single("pixel_width");
    c.grating.parameters.focalLength = value("focal_length", true);
    c.grating.parameters.alphaAngle = value("alpha_angle", false);
    c.grating.parameters.referenceColumn = value("theta_zero_column", false);
    const std::string_view orientation = word("orientation");
    if (orientation != "ascending" && orientation != "descending" && missing.empty()) missing = "orientation";
    c.grating.parameters.descending = orientation == "descending";
  } else if (model == "polynomial") {
    c.kind = FitKind::Polynomial;
    PolynomialModel& p = c.polynomial;
    const double order = value("order", true);
    p.order = order >= 1 && order <= kMaxPolynomialOrder && order == std::floor(order) ? static_cast<int>(order) : 0;
    if (p.order == 0 && missing.empty()) missing = "order";
    p.centre = value("centre", false);
    p.scale = value("scale", true);
    const auto it = values.find("coefficients");
    if (it == values.end() || static_cast<int>(it->second.size()) != p.order + 1) {
      if (missing.empty()) missing = "coefficients";
    } else {
      for (std::size_t k = 0; k < it->second.size(); ++k) {
        const std::optional<double> v = ParseDecimal(it->second[k]);
        if (!v && missing.empty()) missing = "coefficients";
        p.coefficients[k] = v.value_or(0);
      }
    }
  } else if (missing.empty()) {
    missing = "model";
  }
  if (!missing.empty())
    return Refused(CalibrationFileError::Missing, "The calibration file has no valid " + missing + "!");
  CalibrationFileResult r;
  r.file = std::move(file);
  return r;
}

}  // namespace lxr4
