#include "calibration/line_table_text.h"

#include <cmath>

#include "base/num.h"
#include "base/number_text.h"
#include "calibration/compensated_sum.h"

namespace lxr4 {

namespace {
// A figure that is no number (a calibration that cannot give one there) shows as "-".
std::string Fixed(double value, std::string_view pattern) {
  return std::isfinite(value) ? FormatNumber(value, pattern) : std::string("-");
}
std::string OnOff(bool on) { return on ? "on" : "off"; }

// ": rms 0.123 A (0.05 px)" and "over 12 of 14 lines, 87% of the detector"
std::string Rms(const FitResult& fit) {
  return ": rms " + Fixed(fit.rms, "0.000") + " A (" + Fixed(fit.rmsPixels, "0.00") + " px)";
}
std::string Lines(const FitResult& fit) {
  return "over " + std::to_string(fit.linesUsed) + " of " + std::to_string(fit.linesTotal) + " lines, " +
         Fixed(100 * fit.coverage, "0") + "% of the detector";
}
std::string Figures(const FitResult& fit) { return Rms(fit) + " " + Lines(fit); }
}  // namespace

LineTable LineTableOf(const LineSet& lines, const std::optional<FitResult>& lastFit,
                      const std::optional<FittedCalibration>& inForce, const std::string& inForceName) {
  LineTable table;
  std::optional<FitResult> fit = lastFit;
  if (!fit && inForce && !lines.empty()) fit = ResidualsOf(*inForce, lines);
  const bool matches = fit && fit->lines.size() == lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const CalibrationLine& line = lines[i];
    LineTableRow row;
    row.wavelength = Fixed(line.wavelength, "0.000");
    row.label = line.label;
    row.centroid = Fixed(line.column, "0.00");
    row.used = line.used;
    if (matches) {
      const LineResidual& r = fit->lines[i];
      row.fitted = Fixed(r.fitted, "0.000");
      row.residual = Fixed(r.residual, "0.000");
      row.residualPixels = Fixed(r.residualPixels, "0.00");
      if (r.clipped) row.residual += " clipped";
    }
    table.rows.push_back(std::move(row));
  }
  if (!matches)
    table.summary = "No fit yet";
  else if (lastFit)
    table.summary = "Last fit: " + FitSummary(*fit);
  else
    table.summary = "In force: " + inForceName + Figures(*fit);
  return table;
}

FitResult ResidualsOf(const FittedCalibration& calibration, const LineSet& lines) {
  FitResult result;
  result.calibration = calibration;
  CompensatedSum sum;
  for (const CalibrationLine& line : lines) {
    LineResidual r;
    r.fitted = FittedWavelength(calibration, line.column);
    r.residual = line.wavelength - r.fitted;
    const double dispersion = FittedDispersion(calibration, line.column);
    r.residualPixels = dispersion != 0 ? r.residual / dispersion : 0;
    r.used = line.used;
    if (r.used) {
      sum.Add(r.residual * r.residual);
      ++result.linesUsed;
    }
    result.lines.push_back(r);
  }
  result.linesTotal = static_cast<int>(lines.size());
  result.rms = result.linesUsed > 0 ? std::sqrt(sum.Value() / result.linesUsed) : 0;
  FinishFigures(result, lines);
  return result;
}

std::string FitSummary(const FitResult& fit) { return FitModelName(fit.calibration) + Figures(fit); }

std::vector<std::string> DescribeCalibration(const FittedCalibration& calibration,
                                             const InstrumentSettings& settings, bool twoLine,
                                             const std::optional<FitResult>& fit) {
  std::vector<std::string> text;
  if (twoLine)
    text.push_back("Calibration: grating model solved from two marked lines");
  else if (fit) {  // two lines: a FITS header card holds 72 characters
    text.push_back("Calibration: " + FitModelName(fit->calibration) + Rms(*fit));
    text.push_back("  " + Lines(*fit));
  }
  else
    text.push_back("Calibration: " + FitModelName(calibration));
  if (calibration.kind == FitKind::Grating) {
    const GratingParameters& p = calibration.grating.parameters;
    text.push_back("Focal length " + Fixed(p.focalLength, "0.00000") + " mm, alpha " +
                   Fixed(p.alphaAngle, "0.00000") + " deg");
    text.push_back("Theta zero at column " + Fixed(p.referenceColumn, "0.000") + ", wavelength " +
                   (p.descending ? "falling" : "rising") + " with the column");
    text.push_back("Pixel width " + Fixed(calibration.grating.pixelWidth, "0.000") + " um");
  } else {
    const PolynomialModel& m = calibration.polynomial;
    text.push_back("Wavelength = sum of c_k t^k, t = (column - " + Fixed(m.centre, "0.000") + ") / " +
                   Fixed(m.scale, "0.000"));
    for (int k = 0; k <= m.order; ++k)
      text.push_back("c_" + std::to_string(k) + " = " +
                     FormatNumber(m.coefficients[static_cast<std::size_t>(k)], "0.000000000"));
  }
  text.push_back("Grooves " + ShortestText(settings.grooveDensity) + " lines/mm, deviation " +
                 ShortestText(settings.deviationAngle) + " deg, reference column " +
                 ShortestText(settings.referenceColumn));
  text.push_back(
      "Correction " + OnOff(settings.correction) + ", pixel size " +
      (settings.pixelSize ? ShortestText(*settings.pixelSize) + " um" : std::string("from the image")));
  return text;
}

}  // namespace lxr4
