#include "calibration/arc_shift.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "calibration/arc_peaks.h"

namespace lxr4 {

namespace {

constexpr int kMaxCoarsePixels = 1024;
constexpr double kLineSigmas = 3.0;

double Median(std::vector<double>& v) {
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// The arc's lines alone, scaled to a unit sum of squares; all 0 when it has none.
std::vector<double> LinesOf(std::span<const double> arc) {
  const int n = static_cast<int>(arc.size());
  std::vector<double> x(arc.begin(), arc.end());
  for (double& v : x)
    if (!std::isfinite(v)) v = 0;
  std::vector<double> residual(x.size()), window;
  for (int i = 0; i < n; ++i) {
    window.assign(x.begin() + std::max(0, i - kArcBackgroundPixels / 2),
                  x.begin() + std::min(n, i + kArcBackgroundPixels / 2 + 1));
    residual[static_cast<std::size_t>(i)] = std::isfinite(arc[static_cast<std::size_t>(i)])
                                                ? x[static_cast<std::size_t>(i)] - Median(window)
                                                : 0;
  }
  std::vector<double> deviation(residual.size());
  for (std::size_t i = 0; i < residual.size(); ++i) deviation[i] = std::fabs(residual[i]);
  const double noise = deviation.empty() ? 0 : 1.4826 * Median(deviation);
  double sum = 0;
  for (double& v : residual) {
    if (!(v > kLineSigmas * noise)) v = 0;
    sum += v * v;
  }
  if (sum > 0 && std::isfinite(sum))
    for (double& v : residual) v /= std::sqrt(sum);
  else
    std::fill(residual.begin(), residual.end(), 0.0);
  return residual;
}

// Sums of `factor` pixels at a time (the last sum may be of fewer).
std::vector<double> Binned(const std::vector<double>& v, int factor) {
  std::vector<double> out((v.size() + static_cast<std::size_t>(factor) - 1) / static_cast<std::size_t>(factor));
  for (std::size_t i = 0; i < v.size(); ++i) out[i / static_cast<std::size_t>(factor)] += v[i];
  return out;
}

struct Sparse {
  std::vector<int> index;
  std::vector<double> value;
};

Sparse NonZero(const std::vector<double>& v) {
  Sparse s;
  for (std::size_t i = 0; i < v.size(); ++i)
    if (v[i] != 0) s.index.push_back(static_cast<int>(i)), s.value.push_back(v[i]);
  return s;
}

// sum of a(i) b(centre + (i - centre) stretch + shift) over a's pixels
// (indices from 0), b linearly interpolated and 0 beyond its ends.
double Correlate(const Sparse& a, const std::vector<double>& b, double centre, double stretch, double shift) {
  const double last = static_cast<double>(b.size()) - 1;
  double sum = 0;
  for (std::size_t k = 0; k < a.index.size(); ++k) {
    const double x = centre + (a.index[k] - centre) * stretch + shift;
    if (!(x >= 0 && x <= last)) continue;
    const double lo = std::floor(x);
    const auto i = static_cast<std::size_t>(lo);
    const double f = x - lo;
    sum += a.value[k] * (f > 0 ? (1 - f) * b[i] + f * b[i + 1] : b[i]);
  }
  return sum;
}

struct Vertex {
  double offset = 0;  // from the middle sample, -1..1
  double value = 0;
};

// The top of a parabola through the logarithms of three samples, one step
// apart, the middle one the highest (through the samples themselves when one
// is not above 0).
Vertex Top(double before, double middle, double after) {
  const bool logs = before > 0 && middle > 0 && after > 0;
  const double a = logs ? std::log(before) : before, b = logs ? std::log(middle) : middle,
               c = logs ? std::log(after) : after;
  const double curvature = a - 2 * b + c;
  if (!(curvature < 0)) return {0, middle};
  const double offset = std::clamp(0.5 * (a - c) / curvature, -1.0, 1.0);
  const double top = b - 0.25 * (a - c) * offset;
  return {offset, logs ? std::exp(top) : top};
}

struct Peak {
  int shift = 0;  // the best whole shift
  Vertex top;     // the parabola about it
};

// The best whole shift from lo to hi at one stretch, and its parabola.
Peak BestShift(const Sparse& a, const std::vector<double>& b, double centre, double stretch, int lo, int hi) {
  Peak best;
  double bestValue = -1;
  for (int d = lo; d <= hi; ++d) {
    const double v = Correlate(a, b, centre, stretch, d);
    if (v > bestValue) bestValue = v, best.shift = d;
  }
  best.top = Top(Correlate(a, b, centre, stretch, best.shift - 1), bestValue,
                 Correlate(a, b, centre, stretch, best.shift + 1));
  return best;
}

}  // namespace

ArcShift MeasureArcShift(std::span<const double> saved, std::span<const double> current) {
  ArcShift out;
  const int nSaved = static_cast<int>(saved.size()), nCurrent = static_cast<int>(current.size());
  out.centre = (nSaved + 1) / 2.0;
  if (nSaved < 2 || nCurrent < 2) return out;
  const std::vector<double> a = LinesOf(saved), b = LinesOf(current);
  const Sparse sparse = NonZero(a);
  if (sparse.index.empty() || std::all_of(b.begin(), b.end(), [](double v) { return v == 0; })) return out;
  const double centre = (nSaved - 1) / 2.0;  // from index 0
  const int longer = std::max(nSaved, nCurrent);
  const int reach = std::max(1, longer / 4);

  // Coarse: binned arcs, every whole binned shift, stretch steps that move
  // the saved arc's ends by half a binned pixel.
  const int factor = (longer + kMaxCoarsePixels - 1) / kMaxCoarsePixels;
  const Sparse coarseA = NonZero(Binned(a, factor));
  const std::vector<double> coarseB = Binned(b, factor);
  const double coarseCentre = (centre - (factor - 1) / 2.0) / factor;
  const int coarseReach = (reach + factor - 1) / factor;
  const double coarseStep = 1.0 / std::max(2, (nSaved + factor - 1) / factor);
  const int coarseSteps = static_cast<int>(std::ceil(kMaxArcStretch / coarseStep));
  double coarseBest = -1;
  int coarseShift = 0, coarseStretch = 0;
  for (int k = -coarseSteps; k <= coarseSteps; ++k)
    for (int d = -coarseReach; d <= coarseReach; ++d) {
      const double stretch = std::clamp(1 + k * coarseStep, 1 - kMaxArcStretch, 1 + kMaxArcStretch);
      const double v = Correlate(coarseA, coarseB, coarseCentre, stretch, d);
      if (v > coarseBest) coarseBest = v, coarseShift = d, coarseStretch = k;
    }
  out.correlation = std::clamp(coarseBest, 0.0, 1.0);
  if (std::abs(coarseShift) == coarseReach) return out;

  // Fine: full resolution about the coarse peak, stretch steps that move the
  // ends by half a pixel; the best correlation at each stretch, then the
  // parabola over the stretch steps and the one over the shifts.
  const double step = 1.0 / nSaved;
  const int steps = static_cast<int>(std::floor(kMaxArcStretch / step));
  const int middle = static_cast<int>(std::lround(coarseStretch * coarseStep / step));
  const int spread = 2 * factor + 2;
  const int lo = coarseShift * factor - spread, hi = coarseShift * factor + spread;
  const auto at = [&](int k) { return BestShift(sparse, b, centre, 1 + k * step, lo, hi); };
  int best = std::clamp(middle, -steps, steps);
  Peak bestPeak = at(best);
  for (int k = std::max(-steps, middle - 2 * factor); k <= std::min(steps, middle + 2 * factor); ++k) {
    const Peak p = at(k);
    if (p.top.value > bestPeak.top.value) bestPeak = p, best = k;
  }
  out.correlation = std::clamp(bestPeak.top.value, 0.0, 1.0);
  if (std::abs(best) >= steps) return out;
  const Vertex stretchTop = Top(at(best - 1).top.value, bestPeak.top.value, at(best + 1).top.value);
  out.stretch = 1 + (best + stretchTop.offset) * step;
  const Peak final = BestShift(sparse, b, centre, out.stretch, bestPeak.shift - 2, bestPeak.shift + 2);
  out.shift = final.shift + final.top.offset;
  out.correlation = std::clamp(final.top.value, 0.0, 1.0);
  out.ok = std::abs(final.shift) < reach && out.correlation >= kMinArcCorrelation;
  return out;
}

}  // namespace lxr4
