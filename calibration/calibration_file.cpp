#include "calibration/calibration_file.h"

#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "base/grid.h"
#include "base/number_text.h"
#include "calibration/instrument_fields.h"
#include "calibration/line_list_file.h"

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
  // A file without the key counts the camera image's 768 columns.
  if (c.pixels != kGridColumns) t += "detector_pixels " + std::to_string(c.pixels) + "\n";
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
    const std::string label = PlainLabel(l.label);  // one line, read back as it stands
    t += "line " + Number(l.wavelength) + " " + ShortestText(l.column) + (l.used ? " used" : " unused");
    t += label.empty() ? "\n" : " " + label + "\n";
  }
  return t;
}

namespace {

// A "line" entry through the checks of Add Line; an empty message when it is taken.
std::string ReadLine(std::string_view line, const std::vector<std::string_view>& f, const std::string& where,
                     int pixels, LineSet& lines) {
  // line WAVELENGTH COLUMN used|unused [LABEL...]
  const std::string bad = where + " cannot be read!";
  if (f.size() < 4 || (f[3] != "used" && f[3] != "unused")) return bad;
  const std::optional<double> w = ParseDecimal(f[1]), c = ParseDecimal(f[2]);
  if (!w || !c) return bad;
  // The column is checked before it becomes single precision.
  if (!(*c >= 1 && *c <= pixels))
    return where + ": the centroid must be a " + (pixels == kGridColumns ? "column" : "detector pixel") +
           " from 1 to " + std::to_string(pixels) + "!";
  CalibrationLine l;
  l.wavelength = *w;
  l.column = static_cast<float>(*c);
  l.used = f[3] == "used";
  // The label is the rest of the line after its own field, whatever it holds.
  const auto afterUsed = static_cast<std::size_t>(f[3].data() + f[3].size() - line.data());
  l.label = PlainLabel(line.substr(afterUsed));
  switch (AddLine(lines, l, pixels)) {
    case AddLineError::None:
      return {};
    case AddLineError::BadLine:
      return where + ": the wavelength must be from " + ShortestText(kMinLineWavelength) + " to " +
             ShortestText(kMaxLineWavelength) + " Angstroms!";
    case AddLineError::SameWavelength:
      return where + " names the wavelength of a line above it!";
    case AddLineError::SameColumn:
      return where + " lies within a pixel of a line above it!";
  }
  return bad;
}

}  // namespace

CalibrationFileResult ParseCalibrationFile(std::string_view text) {
  std::map<std::string, std::vector<std::string_view>, std::less<>> values;
  CalibrationFile file;
  int number = 0;
  bool first = true;
  // The lines are read once the detector they count is known.
  struct LineEntry {
    std::string_view text;
    int number;
  };
  std::vector<LineEntry> lineEntries;
  while (!text.empty() || first) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++number;
    if (first) {
      if (line != kFirstLine)
        return Refused(CalibrationFileError::NotACalibration,
                       "This is not a calibration file of this program!");
      first = false;
      continue;
    }
    const std::vector<std::string_view> f = Fields(line);
    if (f.empty()) continue;
    const std::string where = "Line " + std::to_string(number) + " of the calibration file";
    const std::string bad = where + " cannot be read!";
    if (f[0] == "line") {
      lineEntries.push_back({line, number});
      continue;
    }
    const auto [it, inserted] = values.try_emplace(std::string(f[0]), f.begin() + 1, f.end());
    if (!inserted) return Refused(CalibrationFileError::BadLine, bad);
    static const std::vector<std::string_view> known{
        "groove_density", "deviation_angle", "reference_column", "correction",  "pixel_size",
        "model",          "pixel_width",     "focal_length",     "alpha_angle", "theta_zero_column",
        "orientation",    "order",           "centre",           "scale",       "coefficients",
        "detector_pixels"};
    bool isKnown = false;
    for (const std::string_view k : known) isKnown = isKnown || f[0] == k;
    if (!isKnown || it->second.empty()) return Refused(CalibrationFileError::BadLine, bad);
  }

  std::string missing, outOfRange;
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
  // A number within the limits the Instrument dialog keeps; 1 when it is not.
  const auto limited = [&](std::string_view key, GratingValue which) -> double {
    const double v = value(key, false);
    if (!missing.empty()) return 1;
    const std::optional<std::string> problem = GratingValueProblem(which, v);
    if (!problem) return v;
    if (outOfRange.empty())
      outOfRange = "The calibration file's " + std::string(key) + " is refused: the " + *problem + "!";
    return 1;
  };
  FittedCalibration& c = file.calibration;
  if (values.contains("detector_pixels")) {
    const double pixels = value("detector_pixels", true);
    if (!(pixels >= 2 && pixels <= kMaxDetectorPixels && pixels == std::floor(pixels)) && missing.empty())
      missing = "detector_pixels";
    if (!missing.empty())
      return Refused(CalibrationFileError::Missing, "The calibration file has no valid detector_pixels!");
    c.pixels = static_cast<int>(pixels);
  }
  for (const LineEntry& entry : lineEntries) {
    const std::string where = "Line " + std::to_string(entry.number) + " of the calibration file";
    const std::string problem = ReadLine(entry.text, Fields(entry.text), where, c.pixels, file.lines);
    if (problem == where + " cannot be read!") return Refused(CalibrationFileError::BadLine, problem);
    if (!problem.empty()) return Refused(CalibrationFileError::OutOfRange, problem);
  }
  InstrumentSettings& s = file.settings;
  s.grooveDensity = limited("groove_density", GratingValue::GrooveDensity);
  s.deviationAngle = limited("deviation_angle", GratingValue::DeviationAngle);
  s.referenceColumn = limited("reference_column", GratingValue::ReferenceColumn);
  const std::string_view correction = word("correction");
  if (correction != "on" && correction != "off" && missing.empty()) missing = "correction";
  s.correction = correction == "on";
  if (word("pixel_size") != "none")
    s.pixelSize = static_cast<float>(limited("pixel_size", GratingValue::PixelSize));
  const std::string_view model = word("model");
  if (model == "grating") {
    c.kind = FitKind::Grating;
    c.grating.settings = s;
    c.grating.pixelWidth = static_cast<float>(limited("pixel_width", GratingValue::PixelSize));
    c.grating.parameters.focalLength = limited("focal_length", GratingValue::FocalLength);
    c.grating.parameters.alphaAngle = limited("alpha_angle", GratingValue::AlphaAngle);
    // Theta zero lies on the detector the calibration counts.
    c.grating.parameters.referenceColumn = c.pixels == kGridColumns
                                               ? limited("theta_zero_column", GratingValue::ReferenceColumn)
                                               : value("theta_zero_column", false);
    if (c.pixels != kGridColumns && !(c.grating.parameters.referenceColumn >= 1 &&
                                      c.grating.parameters.referenceColumn <= c.pixels) && outOfRange.empty())
      outOfRange = "The calibration file's theta_zero_column is refused: it must be a detector pixel from 1 to " +
                   std::to_string(c.pixels) + "!";
    const std::string_view orientation = word("orientation");
    if (orientation != "ascending" && orientation != "descending" && missing.empty()) missing = "orientation";
    c.grating.parameters.descending = orientation == "descending";
  } else if (model == "polynomial") {
    c.kind = FitKind::Polynomial;
    PolynomialModel& p = c.polynomial;
    const double order = value("order", true);
    p.order = order >= 1 && order <= kMaxPolynomialOrder && order == std::floor(order)
                  ? static_cast<int>(order)
                  : 0;
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
  if (!outOfRange.empty()) return Refused(CalibrationFileError::OutOfRange, outOfRange);
  if (const std::optional<int> column = ColumnWithoutWavelength(c))
    return Refused(
        CalibrationFileError::NoWavelength,
        "The calibration in the file gives no wavelength above 0 at " +
            std::string(c.pixels == kGridColumns ? "column " : "detector pixel ") + std::to_string(*column) + "!");
  CalibrationFileResult r;
  r.file = std::move(file);
  return r;
}

}  // namespace lxr4
