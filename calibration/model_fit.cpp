// The grating model fitted to many lines by Levenberg-Marquardt, in double
// precision with compensated sums and analytic derivatives. The start comes in closed form from a
// straight line through the lines: its slope gives the orientation and, with
// the grating equation at the reference column, the alpha angle and the focal
// length.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "calibration/compensated_sum.h"
#include "calibration/fit_loop.h"
#include "calibration/instrument_fields.h"

namespace lxr4 {

namespace {

constexpr double kDegreesPerRadian = 57.29578f;  // the model's own constant

struct Trial {
  GratingParameters parameters;
  double sse = 0;
};

double SumOfSquares(const GratingModel& model, const LineSet& lines, const std::vector<bool>& in) {
  CompensatedSum sse;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!in[i]) continue;
    const double r = lines[i].wavelength - EvaluateGrating(model, lines[i].column).wavelength;
    sse.Add(r * r);
  }
  return std::isfinite(sse.Value()) ? sse.Value() : INFINITY;
}

// Solves the m x m system a x = b (m <= 3) by elimination with partial
// pivoting; false when it is singular.
template <std::size_t M>
bool SolveSmall(std::array<std::array<double, M>, M> a, std::array<double, M> b, int m,
                std::array<double, M>& x) {
  const auto n = static_cast<std::size_t>(m);
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    if (!(std::fabs(a[pivot][c]) > 0)) return false;
    std::swap(a[c], a[pivot]);
    std::swap(b[c], b[pivot]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (std::size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  for (std::size_t c = n; c-- > 0;) {
    double s = b[c];
    for (std::size_t k = c + 1; k < n; ++k) s -= a[c][k] * x[k];
    x[c] = s / a[c][c];
  }
  return true;
}

// A step changes nothing that matters when it is below this part of each
// parameter (at least of 1 mm, 1 degree, 1 column).
constexpr double kStepTolerance = 1e-12;

bool Negligible(double step, double value) {
  return std::fabs(step) <= kStepTolerance * std::max(std::fabs(value), 1.0);
}

enum class Refined : std::uint8_t {
  Converged,   // no parameter moves any more, or no step lowers the sum
  NoStart,     // not one step could be made from the start
  OutOfSteps,  // still moving after the most iterations allowed
};

// Levenberg-Marquardt from `model.parameters`; the focal length, the alpha
// angle and, when `m` is 3, the reference column.
Refined Refine(GratingModel& model, const LineSet& lines, const std::vector<bool>& in, int m,
               int maxIterations, double& sse) {
  sse = SumOfSquares(model, lines, in);
  if (!std::isfinite(sse)) return Refined::NoStart;
  double lambda = 1e-3;
  for (int iteration = 0; iteration < maxIterations; ++iteration) {
    if (sse == 0) return Refined::Converged;
    std::array<std::array<CompensatedSum, 3>, 3> jtjSums{};
    std::array<CompensatedSum, 3> jtrSums{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!in[i]) continue;
      const GratingEvaluation e = EvaluateGrating(model, lines[i].column);
      const std::array<double, 3> d{e.byFocalLength, e.byAlpha, e.byReferenceColumn};
      const double r = lines[i].wavelength - e.wavelength;
      for (std::size_t a = 0; a < 3; ++a) {
        jtrSums[a].Add(d[a] * r);
        for (std::size_t b = 0; b < 3; ++b) jtjSums[a][b].Add(d[a] * d[b]);
      }
    }
    std::array<std::array<double, 3>, 3> jtj{};
    std::array<double, 3> jtr{};
    for (std::size_t a = 0; a < 3; ++a) {
      jtr[a] = jtrSums[a].Value();
      for (std::size_t b = 0; b < 3; ++b) jtj[a][b] = jtjSums[a][b].Value();
    }
    bool improved = false;
    while (!improved && lambda < 1e12) {
      auto damped = jtj;
      for (std::size_t a = 0; a < 3; ++a) damped[a][a] += lambda * jtj[a][a];
      std::array<double, 3> step{};
      if (!SolveSmall<3>(damped, jtr, m, step)) return iteration > 0 ? Refined::Converged : Refined::NoStart;
      GratingModel next = model;
      GratingParameters& p = next.parameters;
      p.focalLength += step[0];
      p.alphaAngle += step[1];
      if (m == 3) p.referenceColumn += step[2];
      const double nextSse = p.focalLength > 0 ? SumOfSquares(next, lines, in) : INFINITY;
      if (nextSse <= sse) {
        // Settled when no parameter moves, not only the focal length.
        const bool converged = Negligible(step[0], p.focalLength) && Negligible(step[1], p.alphaAngle) &&
                               (m < 3 || Negligible(step[2], p.referenceColumn));
        model = next;
        sse = nextSse;
        lambda = std::max(lambda * 0.3, 1e-12);
        improved = true;
        if (converged) return Refined::Converged;
      } else {
        lambda *= 10;
      }
    }
    if (!improved) return Refined::Converged;  // no step lowers the sum: a minimum within rounding
  }
  return sse == 0 ? Refined::Converged : Refined::OutOfSteps;
}

// The start from a straight line through the lines; false when the grating
// cannot reach the wavelength the line gives at the reference column.
bool EstimateStart(GratingModel& model, const LineSet& lines, const std::vector<bool>& in) {
  CompensatedSum sumC, sumL, sumCC, sumCL;
  double n = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!in[i]) continue;
    const double c = lines[i].column, l = lines[i].wavelength;
    n += 1;
    sumC.Add(c), sumL.Add(l), sumCC.Add(c * c), sumCL.Add(c * l);
  }
  const double sc = sumC.Value(), sl = sumL.Value(), scc = sumCC.Value(), scl = sumCL.Value();
  const double slope = (n * scl - sc * sl) / (n * scc - sc * sc);
  const double intercept = (sl - slope * sc) / n;
  if (!std::isfinite(slope) || slope == 0) return false;
  GratingParameters& p = model.parameters;
  p.descending = slope < 0;
  const double k = kDegreesPerRadian;
  const double spacing = 10000.0 * GrooveSpacingOf(model.settings);
  const double deviation = model.settings.deviationAngle;
  // At the reference column lambda = 2 d cos(D/2) sin(D/2 - alpha).
  const double s = (slope * p.referenceColumn + intercept) / (2 * spacing * std::cos(deviation / 2 / k));
  if (!(std::fabs(s) < 1)) return false;
  p.alphaAngle = deviation / 2 - std::asin(s) * k;
  p.focalLength =
      spacing * std::cos((deviation - p.alphaAngle) / k) * model.pixelWidth / 1000.0 / std::fabs(slope);
  return std::isfinite(p.focalLength) && p.focalLength > 0 && std::isfinite(p.alphaAngle);
}

}  // namespace

FitResult FitGrating(const LineSet& lines, const InstrumentSettings& settings, float pixelWidth,
                     const FitOptions& options, const std::optional<GratingParameters>& start) {
  const int m = options.fitReferenceColumn ? 3 : 2;
  if (!(pixelWidth > 0) || !std::isfinite(pixelWidth)) {
    FitResult r;
    r.error = FitError::NoPixelWidth;
    r.message = FitMessage(FitError::NoPixelWidth);
    return r;
  }
  GratingModel base;
  base.settings = settings;
  base.pixelWidth = pixelWidth;
  const double reference = options.referencePixel.value_or(settings.referenceColumn);
  base.parameters.referenceColumn = reference;
  // Each solve after the first (clipping) starts from the one before.
  std::optional<GratingParameters> previous;
  const LineSolver solve = [&](const LineSet& l, const std::vector<bool>& in, FittedCalibration& fit) {
    if (DistinctColumns(l, in) < m) return FitError::Singular;
    GratingModel best = base;
    double bestSse = INFINITY;
    std::vector<GratingParameters> starts;
    if (previous) starts.push_back(*previous);
    GratingModel estimate = base;
    if (EstimateStart(estimate, l, in)) starts.push_back(estimate.parameters);
    if (starts.empty()) return FitError::Unreachable;
    const bool descending = starts.back().descending;
    if (start && start->descending == descending && start->focalLength > 0) {
      GratingParameters s = *start;
      if (!options.fitReferenceColumn) s.referenceColumn = reference;
      starts.push_back(s);
    }
    bool outOfSteps = false;
    for (const GratingParameters& p : starts) {
      GratingModel trial = base;
      trial.parameters = p;
      double sse = 0;
      const Refined end = Refine(trial, l, in, m, options.maxIterations, sse);
      outOfSteps = outOfSteps || end == Refined::OutOfSteps;
      if (end == Refined::Converged && sse < bestSse) best = trial, bestSse = sse;
    }
    if (!std::isfinite(bestSse)) return outOfSteps ? FitError::NotConverged : FitError::NotFinite;
    const GratingParameters& p = best.parameters;
    if (!std::isfinite(p.focalLength) || !(p.focalLength > 0) || !std::isfinite(p.alphaAngle) ||
        !std::isfinite(p.referenceColumn))
      return FitError::NotFinite;
    // A grating the Instrument dialog's limits refuse would not read back from a calibration file.
    if (GratingValueProblem(GratingValue::FocalLength, p.focalLength) ||
        GratingValueProblem(GratingValue::AlphaAngle, p.alphaAngle) ||
        !(p.referenceColumn >= 1 && p.referenceColumn <= options.pixels))
      return FitError::Unreachable;
    previous = p;
    fit.kind = FitKind::Grating;
    fit.grating = best;
    return FitError::None;
  };
  return RunFit(lines, m, options, solve,
                std::string("The grating fit needs at least ") + (m == 3 ? "3" : "2") +
                    " used lines - calibration unchanged!");
}

}  // namespace lxr4
