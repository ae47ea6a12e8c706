#include "calibration/model_choice.h"

#include <algorithm>
#include <cmath>

#include "base/number_text.h"
#include "calibration/auto_identify.h"

namespace lxr4 {

namespace {
// A grating that misses the lines by a pixel cannot be chosen, however it does without each.
constexpr double kGratingMostRmsPixels = 1.0;

double GratingLeaveOneOut(const LineSet& lines, const InstrumentSettings& settings, float pixelWidth,
                          const FitOptions& options) {
  const FitResult all = FitGrating(lines, settings, pixelWidth, options);
  if (!all.ok() || !(all.rmsPixels <= kGratingMostRmsPixels)) return INFINITY;
  double sum = 0;
  int n = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].used) continue;
    LineSet others = lines;
    others[i].used = false;
    const FitResult fit = FitGrating(others, settings, pixelWidth, options, all.calibration.grating.parameters);
    if (!fit.ok()) return INFINITY;
    const double error = lines[i].wavelength - FittedWavelength(fit.calibration, lines[i].column);
    sum += error * error;
    ++n;
  }
  return n >= 4 ? std::sqrt(sum / n) : INFINITY;
}
}  // namespace

double AutomaticClipFloor(const LineSet& lines) {
  const CalibrationLine* first = nullptr;
  const CalibrationLine* last = nullptr;
  for (const CalibrationLine& l : lines) {
    if (!l.used) continue;
    if (first == nullptr || l.column < first->column) first = &l;
    if (last == nullptr || l.column > last->column) last = &l;
  }
  if (first == nullptr || !(last->column > first->column)) return kClipSigmaFloor;
  const double d = std::fabs((last->wavelength - first->wavelength) / (last->column - first->column));
  return std::isfinite(d) ? std::max(kClipSigmaFloor, kAutomaticClipFloorPixels * d) : kClipSigmaFloor;
}

ModelChoice ChooseModel(const LineSet& lines, const InstrumentSettings& settings, float pixelWidth,
                        FitOptions options) {
  ModelChoice choice;
  options.clip = false;
  const OrderChoice order = ChooseOrderByLeaveOneOut(lines);
  choice.polynomial = order.leaveOneOut;
  choice.grating = GratingLeaveOneOut(lines, settings, pixelWidth, options);
  const double polynomial = order.order > 0 ? order.leaveOneOut[static_cast<std::size_t>(order.order)] : INFINITY;
  options.clip = true;
  options.clipFloor = AutomaticClipFloor(lines);
  if (std::isfinite(choice.grating) && choice.grating <= polynomial) {
    choice.fit = FitGrating(lines, settings, pixelWidth, options);
    if (choice.fit.ok()) return choice;
  }
  // A lower order when the chosen one cannot be made once clipping is on.
  for (int k = std::max(order.order, 1); k >= 1; --k) {
    choice.fit = FitPolynomial(lines, k, options);
    if (choice.fit.ok()) break;
  }
  return choice;
}

std::optional<std::string> AutomaticFitProblem(const FitResult& fit) {
  if (!fit.ok()) return fit.message;
  if (fit.linesUsed < kMinAutoLines)
    return "only " + std::to_string(fit.linesUsed) + " lines were identified; at least " +
           std::to_string(kMinAutoLines) + " are needed";
  if (!(fit.rmsPixels <= kMaxAutomaticRmsPixels))
    return "the lines found disagree with every model (rms " + FormatNumber(fit.rmsPixels, "0.00") +
           " pixels, more than " + FormatNumber(kMaxAutomaticRmsPixels, "0.0") + ")";
  return std::nullopt;
}

bool Extrapolated(const FittedCalibration& c, double pixel) {
  if (!(c.lastLine > c.firstLine)) return false;
  const double reach = kExtrapolationShare * c.pixels;
  return pixel < c.firstLine - reach || pixel > c.lastLine + reach;
}

std::string ExtrapolationWarning(const FittedCalibration& c) {
  if (!Extrapolated(c, 1) && !Extrapolated(c, c.pixels)) return "";
  const double share = (c.lastLine - c.firstLine) / std::max(1, c.pixels - 1);
  return "The lines of this calibration cover pixels " + FormatNumber(c.firstLine, "0") + " to " +
         FormatNumber(c.lastLine, "0") + " of " + std::to_string(c.pixels) + " (" + FormatNumber(100 * share, "0") +
         "% of the detector): its wavelengths further out are extrapolated and may be far off.";
}

}  // namespace lxr4
