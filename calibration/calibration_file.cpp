#include "calibration/calibration_file.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include "base/grid.h"
#include "base/number_text.h"
#include "calibration/instrument_fields.h"
#include "calibration/lamp_frame.h"
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

constexpr std::size_t kArcValuesPerLine = 16;

std::string FormatLamp(const LampFrame& lamp) {
  std::string t;
  const std::string name = PlainLabel(lamp.file);  // one line, read back as it stands
  if (!name.empty()) t += "lamp_file " + name + "\n";
  t += "lamp_detector " + std::to_string(lamp.length) + " " + std::to_string(lamp.first) + " " +
       std::to_string(lamp.bin) + " " + (lamp.axis.empty() ? std::string("-") : lamp.axis) + "\n";
  for (std::size_t i = 0; i < lamp.arc.size(); i += kArcValuesPerLine) {
    t += "lamp_arc";
    for (std::size_t k = i; k < std::min(lamp.arc.size(), i + kArcValuesPerLine); ++k)
      t += " " + ShortestText(lamp.arc[k]);
    t += "\n";
  }
  return t;
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
  if (file.lamp) t += FormatLamp(*file.lamp);
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

struct TextLine {
  std::string_view text;
  int number;
};

// A whole number within lo..hi; nullopt otherwise.
std::optional<int> WholeNumber(std::string_view text, int lo, int hi) {
  const std::optional<double> v = ParseDecimal(text);
  if (!v || *v != std::floor(*v) || *v < lo || *v > hi) return std::nullopt;
  return static_cast<int>(*v);
}

// The lamp_detector fields and lamp_arc lines into file.lamp; the refusal
// when they do not make a lamp frame of the calibration's detector.
std::optional<CalibrationFileResult> ReadLamp(const std::vector<std::string_view>& detector,
                                              const std::vector<TextLine>& arcLines, std::string_view name,
                                              int pixels, CalibrationFile& file) {
  // lamp_detector LENGTH FIRST BIN rows|columns|-
  if (detector.size() != 4 || !ParseDecimal(detector[0]) || !ParseDecimal(detector[1]) ||
      !ParseDecimal(detector[2]) || (detector[3] != "rows" && detector[3] != "columns" && detector[3] != "-"))
    return Refused(CalibrationFileError::Missing, "The calibration file has no valid lamp_detector!");
  LampFrame lamp;
  const std::optional<int> length = WholeNumber(detector[0], 2, kMaxDetectorPixels);
  const std::optional<int> first = WholeNumber(detector[1], 1, kMaxDetectorPixels);
  const std::optional<int> bin = WholeNumber(detector[2], 1, kMaxDetectorPixels);
  const std::string refused = "The calibration file's lamp_detector is refused: ";
  if (!length)
    return Refused(CalibrationFileError::OutOfRange,
                   refused + "the length must be from 2 to " + std::to_string(kMaxDetectorPixels) + " pixels!");
  if (!first)
    return Refused(CalibrationFileError::OutOfRange, refused + "the first pixel must be a whole number from 1!");
  if (!bin) return Refused(CalibrationFileError::OutOfRange, refused + "the bin must be a whole number from 1!");
  // The calibration counts the pixels of the lamp it was made on.
  if (*length != pixels)
    return Refused(CalibrationFileError::OutOfRange, refused + "its " + std::to_string(*length) +
                                                         " pixels are not the calibration's " +
                                                         std::to_string(pixels) + "!");
  lamp.length = *length;
  lamp.first = *first;
  lamp.bin = *bin;
  lamp.axis = detector[3] == "-" ? std::string() : std::string(detector[3]);
  lamp.file = PlainLabel(name);
  for (const TextLine& line : arcLines) {
    const std::vector<std::string_view> f = Fields(line.text);
    const std::string bad = "Line " + std::to_string(line.number) + " of the calibration file cannot be read!";
    if (f.size() < 2) return Refused(CalibrationFileError::BadLine, bad);
    for (std::size_t k = 1; k < f.size(); ++k) {
      const std::optional<double> v = ParseDecimal(f[k]);  // refuses what is not finite
      if (!v) return Refused(CalibrationFileError::BadLine, bad);
      lamp.arc.push_back(*v);
    }
  }
  if (static_cast<int>(lamp.arc.size()) != lamp.length)
    return Refused(CalibrationFileError::Missing, "The calibration file's lamp spectrum has " +
                                                      std::to_string(lamp.arc.size()) + " values for " +
                                                      std::to_string(lamp.length) + " pixels!");
  file.lamp = std::move(lamp);
  return std::nullopt;
}

}  // namespace

CalibrationFileResult ParseCalibrationFile(std::string_view text) {
  std::map<std::string, std::vector<std::string_view>, std::less<>> values;
  CalibrationFile file;
  int number = 0;
  bool first = true;
  // The lines are read once the detector they count is known.
  std::vector<TextLine> lineEntries, arcEntries;
  std::string_view lampFile;
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
    if (f[0] == "lamp_arc") {
      arcEntries.push_back({line, number});
      continue;
    }
    // The lamp's file name is the rest of its line, whatever it holds.
    if (f[0] == "lamp_file" && f.size() > 1)
      lampFile = line.substr(static_cast<std::size_t>(f[1].data() - line.data()));
    const auto [it, inserted] = values.try_emplace(std::string(f[0]), f.begin() + 1, f.end());
    if (!inserted) return Refused(CalibrationFileError::BadLine, bad);
    static const std::vector<std::string_view> known{
        "groove_density", "deviation_angle", "reference_column", "correction",  "pixel_size",
        "model",          "pixel_width",     "focal_length",     "alpha_angle", "theta_zero_column",
        "orientation",    "order",           "centre",           "scale",       "coefficients",
        "detector_pixels",  "lamp_file",       "lamp_detector"};
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
  for (const TextLine& entry : lineEntries) {
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
  if (values.contains("lamp_detector") || values.contains("lamp_file") || !arcEntries.empty()) {
    const std::optional<CalibrationFileResult> refused =
        ReadLamp(values["lamp_detector"], arcEntries, lampFile, c.pixels, file);
    if (refused) return *refused;
  }
  CalibrationFileResult r;
  r.file = std::move(file);
  return r;
}

}  // namespace lxr4
