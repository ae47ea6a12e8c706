// The grating model fitted to many lines by Levenberg-Marquardt, in double
// precision with analytic derivatives. The start comes in closed form from a
// straight line through the lines: its slope gives the orientation and, with
// the grating equation at the reference column, the alpha angle and the focal
// length.
#include <array>
#include <cmath>

#include "calibration/fit_loop.h"

namespace lxr4 {

namespace {

constexpr double kDegreesPerRadian = 57.29578f;  // the model's own constant
constexpr int kMaxIterations = 200;

struct Trial {
  GratingParameters parameters;
  double sse = 0;
};

double SumOfSquares(const GratingModel& model, const LineSet& lines, const std::vector<bool>& in) {
  double sse = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!in[i]) continue;
    const double r = lines[i].wavelength - EvaluateGrating(model, lines[i].column).wavelength;
    sse += r * r;
  }
  return std::isfinite(sse) ? sse : INFINITY;
}

// Solves the m x m system a x = b (m <= 3) by elimination with partial
// pivoting in long double; false when it is singular.
template <std::size_t M>
bool SolveSmall(std::array<std::array<long double, M>, M> a, std::array<long double, M> b, int m,
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
      const long double f = a[r][c] / a[c][c];
      for (std::size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  for (std::size_t c = n; c-- > 0;) {
    long double s = b[c];
    for (std::size_t k = c + 1; k < n; ++k) s -= a[c][k] * x[k];
    x[c] = static_cast<double>(s / a[c][c]);
  }
  return true;
}

// Levenberg-Marquardt from `model.parameters`; the focal length, the alpha
// angle and, when `m` is 3, the reference column. False when no step is possible.
bool Refine(GratingModel& model, const LineSet& lines, const std::vector<bool>& in, int m, double& sse) {
  sse = SumOfSquares(model, lines, in);
  if (!std::isfinite(sse)) return false;
  double lambda = 1e-3;
  for (int iteration = 0; iteration < kMaxIterations && sse > 0; ++iteration) {
    std::array<std::array<long double, 3>, 3> jtj{};
    std::array<long double, 3> jtr{};
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (!in[i]) continue;
      const GratingEvaluation e = EvaluateGrating(model, lines[i].column);
      const std::array<double, 3> d{e.byFocalLength, e.byAlpha, e.byReferenceColumn};
      const double r = lines[i].wavelength - e.wavelength;
      for (std::size_t a = 0; a < 3; ++a) {
        jtr[a] += d[a] * r;
        for (std::size_t b = 0; b < 3; ++b) jtj[a][b] += static_cast<long double>(d[a]) * d[b];
      }
    }
    bool improved = false;
    while (!improved && lambda < 1e12) {
      auto damped = jtj;
      for (std::size_t a = 0; a < 3; ++a) damped[a][a] += lambda * jtj[a][a];
      std::array<double, 3> step{};
      if (!SolveSmall<3>(damped, jtr, m, step)) return iteration > 0;
      GratingModel next = model;
      next.parameters.focalLength += step[0];
      next.parameters.alphaAngle += step[1];
      if (m == 3) next.parameters.referenceColumn += step[2];
      const double nextSse = next.parameters.focalLength > 0 ? SumOfSquares(next, lines, in) : INFINITY;
      if (nextSse <= sse) {
        const bool converged = sse - nextSse <= 1e-14 * sse + 1e-20 ||
                               std::fabs(step[0]) <= 1e-12 * next.parameters.focalLength;
        model = next;
        sse = nextSse;
        lambda = std::max(lambda * 0.3, 1e-12);
        improved = true;
        if (converged) return true;
      } else {
        lambda *= 10;
      }
    }
    if (!improved) return true;  // no step lowers the sum: a minimum within rounding
  }
  return true;
}

// The start from a straight line through the lines; false when the grating
// cannot reach the wavelength the line gives at the reference column.
bool EstimateStart(GratingModel& model, const LineSet& lines, const std::vector<bool>& in) {
  double n = 0, sc = 0, sl = 0, scc = 0, scl = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!in[i]) continue;
    const double c = lines[i].column, l = lines[i].wavelength;
    n += 1, sc += c, sl += l, scc += c * c, scl += c * l;
  }
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
  p.focalLength = spacing * std::cos((deviation - p.alphaAngle) / k) * model.pixelWidth / 1000.0 /
                  std::fabs(slope);
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
  base.parameters.referenceColumn = settings.referenceColumn;
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
      if (!options.fitReferenceColumn) s.referenceColumn = settings.referenceColumn;
      starts.push_back(s);
    }
    for (const GratingParameters& p : starts) {
      GratingModel trial = base;
      trial.parameters = p;
      double sse = 0;
      if (Refine(trial, l, in, m, sse) && sse < bestSse) best = trial, bestSse = sse;
    }
    if (!std::isfinite(bestSse)) return FitError::NotFinite;
    const GratingParameters& p = best.parameters;
    if (!std::isfinite(p.focalLength) || !(p.focalLength > 0) || !std::isfinite(p.alphaAngle) ||
        !std::isfinite(p.referenceColumn))
      return FitError::NotFinite;
    previous = p;
    fit.kind = FitKind::Grating;
    fit.grating = best;
    return FitError::None;
  };
  return RunFit(lines, m, options.clip, solve,
                std::string("The grating fit needs at least ") + (m == 3 ? "3" : "2") +
                    " used lines - calibration unchanged!");
}

}  // namespace lxr4
