#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "base/grid.h"
#include "calibration/compensated_sum.h"
#include "calibration/fit_loop.h"

namespace lxr4 {

namespace {
FitResult Failed(FitError error, std::string message) {
  FitResult r;
  r.error = error;
  r.message = std::move(message);
  return r;
}
}  // namespace

float FittedWavelength(const FittedCalibration& fit, double column) {
  if (fit.kind == FitKind::Grating) return GratingWavelength(fit.grating, column);
  const PolynomialModel& p = fit.polynomial;
  const double t = (column - p.centre) / p.scale;
  double sum = 0;
  for (int k = p.order; k >= 0; --k) sum = sum * t + p.coefficients[static_cast<std::size_t>(k)];
  return ToSingle(sum);
}

double FittedDispersion(const FittedCalibration& fit, double column) {
  if (fit.kind == FitKind::Grating) return EvaluateGrating(fit.grating, column).byColumn;
  const PolynomialModel& p = fit.polynomial;
  const double t = (column - p.centre) / p.scale;
  double sum = 0;
  for (int k = p.order; k >= 1; --k) sum = sum * t + k * p.coefficients[static_cast<std::size_t>(k)];
  return sum / p.scale;
}

std::string FitModelName(const FittedCalibration& fit) {
  if (fit.kind == FitKind::Grating) return "Grating";
  return "Polynomial " + std::to_string(fit.polynomial.order);
}

std::string FitMessage(FitError error) {
  switch (error) {
    case FitError::None:
      return "";
    case FitError::BadOrder:
      return "The polynomial order must be 1 to 4!";
    case FitError::TooFewLines:
      return "Too few lines for this fit - calibration unchanged!";
    case FitError::BadLine:
      return "A used line has no valid wavelength or centroid - calibration unchanged!";
    case FitError::NoPixelWidth:
      return "The grating fit needs a pixel size: load an image or set one under Instrument - "
             "calibration unchanged!";
    case FitError::Unreachable:
      return "This grating cannot give these wavelengths - calibration unchanged!";
    case FitError::Singular:
      return "These lines do not fix the fit (too few different columns) - calibration unchanged!";
    case FitError::NotFinite:
      return "The fit gives no finite result - calibration unchanged!";
    case FitError::SameWavelengths:
      return "These lines do not fix the fit (too few different wavelengths) - calibration unchanged!";
    case FitError::NotMonotonic:
      return "The lines' wavelengths do not rise or fall steadily with their columns - calibration "
             "unchanged!";
    case FitError::BadWavelengths:
      return "The fit gives no wavelength above 0 at some column of the detector - calibration unchanged!";
    case FitError::NotConverged:
      return "The grating fit did not settle within " + std::to_string(kMaxGratingIterations) +
             " steps - calibration unchanged!";
  }
  return "";
}

int DistinctColumns(const LineSet& lines, const std::vector<bool>& in) {
  std::vector<float> columns;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (in[i]) columns.push_back(lines[i].column);
  std::sort(columns.begin(), columns.end());
  int distinct = 0;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (i == 0 || columns[i] - columns[i - 1] > 0.01f) ++distinct;
  return distinct;
}

namespace {
int DistinctWavelengths(const LineSet& lines, const std::vector<bool>& in) {
  std::vector<double> wavelengths;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (in[i]) wavelengths.push_back(lines[i].wavelength);
  std::sort(wavelengths.begin(), wavelengths.end());
  return static_cast<int>(std::unique(wavelengths.begin(), wavelengths.end()) - wavelengths.begin());
}

bool Monotonic(const LineSet& lines, const std::vector<bool>& in) {
  std::vector<std::pair<float, double>> byColumn;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (in[i]) byColumn.emplace_back(lines[i].column, lines[i].wavelength);
  std::sort(byColumn.begin(), byColumn.end());
  bool rising = true, falling = true;
  for (std::size_t i = 1; i < byColumn.size(); ++i) {
    rising = rising && byColumn[i].second > byColumn[i - 1].second;
    falling = falling && byColumn[i].second < byColumn[i - 1].second;
  }
  return rising || falling;
}
}  // namespace

std::optional<int> ColumnWithoutWavelength(const FittedCalibration& fit) {
  for (int column = 1; column <= fit.pixels; ++column) {
    const float w = FittedWavelength(fit, column);
    if (!(std::isfinite(w) && w > 0) || !std::isfinite(FittedDispersion(fit, column))) return column;
  }
  return std::nullopt;
}

void FinishFigures(FitFigures& fit, const LineSet& lines) {
  CompensatedSum squares;
  int n = 0;
  double first = INFINITY, last = -INFINITY;
  for (std::size_t i = 0; i < lines.size() && i < fit.lines.size(); ++i) {
    if (!fit.lines[i].used) continue;
    squares.Add(fit.lines[i].residualPixels * fit.lines[i].residualPixels);
    first = std::min(first, double{lines[i].column});
    last = std::max(last, double{lines[i].column});
    ++n;
  }
  fit.rmsPixels = n > 0 ? std::sqrt(squares.Value() / n) : 0;
  if (n == 0) return;
  fit.calibration.firstLine = first;
  fit.calibration.lastLine = last;
  fit.coverage = fit.calibration.pixels > 1 ? std::clamp((last - first) / (fit.calibration.pixels - 1), 0.0, 1.0) : 0;
}

FitResult RunFit(const LineSet& lines, int parameters, const FitOptions& options, const LineSolver& solve,
                 const std::string& tooFew, int fewest) {
  const bool clip = options.clip;
  std::vector<bool> in(lines.size());
  int n = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const CalibrationLine& l = lines[i];
    if (!l.used) continue;
    if (!std::isfinite(l.wavelength) || !(l.wavelength > 0) || !std::isfinite(l.column))
      return Failed(FitError::BadLine, FitMessage(FitError::BadLine));
    in[i] = true;
    ++n;
  }
  if (n < std::max(parameters, fewest)) return Failed(FitError::TooFewLines, tooFew);

  FitResult r;
  r.linesTotal = static_cast<int>(lines.size());
  r.lines.resize(lines.size());
  for (;;) {
    // Six lines of one wavelength would "fit" a quartic to any columns.
    if (DistinctWavelengths(lines, in) < parameters)
      return Failed(FitError::SameWavelengths, FitMessage(FitError::SameWavelengths));
    if (const FitError e = solve(lines, in, r.calibration); e != FitError::None)
      return Failed(e, FitMessage(e));
    r.calibration.pixels = options.pixels;
    CompensatedSum squares;
    std::size_t worst = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      LineResidual& lr = r.lines[i];
      lr.fitted = FittedWavelength(r.calibration, lines[i].column);
      lr.residual = lines[i].wavelength - lr.fitted;
      const double dispersion = FittedDispersion(r.calibration, lines[i].column);
      lr.residualPixels = dispersion != 0 ? lr.residual / dispersion : 0;
      lr.used = in[i];
      if (!in[i]) continue;  // a line left out may have no numbers at all
      if (!std::isfinite(lr.fitted) || !std::isfinite(lr.residualPixels))
        return Failed(FitError::NotFinite, FitMessage(FitError::NotFinite));
      squares.Add(lr.residual * lr.residual);
      if (worst == lines.size() || std::fabs(lr.residual) > std::fabs(r.lines[worst].residual)) worst = i;
    }
    const double sum = squares.Value();
    r.rms = std::sqrt(sum / n);
    if (!std::isfinite(r.rms)) return Failed(FitError::NotFinite, FitMessage(FitError::NotFinite));
    r.linesUsed = n;
    if (!clip || n - 1 < parameters + 2) break;
    const double worstResidual = r.lines[worst].residual;
    const double sigma =
        std::max(std::sqrt((sum - worstResidual * worstResidual) / (n - 1 - parameters)), options.clipFloor);
    if (!(std::fabs(worstResidual) > kClipSigma * sigma)) break;
    in[worst] = false;
    r.lines[worst].clipped = true;
    --n;
  }
  // Judged on the lines the fit kept: clipping may have left out the one out of order.
  if (!Monotonic(lines, in)) return Failed(FitError::NotMonotonic, FitMessage(FitError::NotMonotonic));
  if (ColumnWithoutWavelength(r.calibration))
    return Failed(FitError::BadWavelengths, FitMessage(FitError::BadWavelengths));
  FinishFigures(r, lines);
  return r;
}

}  // namespace lxr4
