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
    residual[static_cast<std::size_t>(i)] =
        std::isfinite(arc[static_cast<std::size_t>(i)]) ? x[static_cast<std::size_t>(i)] - Median(window) : 0;
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
  std::vector<double> out((v.size() + static_cast<std::size_t>(factor) - 1) /
                          static_cast<std::size_t>(factor));
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

// The arcs binned by `factor`, indices from 0 of the binned pixels.
struct Level {
  Sparse a;
  std::vector<double> b;
  double centre = 0;  // the saved arc's middle
  double step = 0;    // a stretch step moves the saved arc's ends by half a binned pixel
  int steps = 0;      // the steps within kMaxArcStretch
};

Level MakeLevel(const std::vector<double>& a, const std::vector<double>& b, int factor, int nSaved) {
  Level l;
  l.a = NonZero(factor == 1 ? a : Binned(a, factor));
  l.b = factor == 1 ? b : Binned(b, factor);
  l.centre = ((nSaved - 1) / 2.0 - (factor - 1) / 2.0) / factor;
  l.step = factor / static_cast<double>(nSaved);
  l.steps = static_cast<int>(std::floor(kMaxArcStretch / l.step + 1e-9));
  return l;
}

struct Found {
  int stretch = 0;  // stretch steps from 1
  int shift = 0;    // binned pixels
  double value = -1;
};

// The highest correlation over the stretch steps and whole shifts given.
Found Search(const Level& l, int kLo, int kHi, int dLo, int dHi) {
  Found best;
  for (int k = kLo; k <= kHi; ++k)
    for (int d = dLo; d <= dHi; ++d) {
      const double v = Correlate(l.a, l.b, l.centre, 1 + k * l.step, d);
      if (v > best.value) best = {k, d, v};
    }
  return best;
}

}  // namespace

ArcShift MeasureArcShift(std::span<const double> saved, std::span<const double> current) {
  ArcShift out;
  const int nSaved = static_cast<int>(saved.size()), nCurrent = static_cast<int>(current.size());
  out.centre = (nSaved + 1) / 2.0;
  if (nSaved < 2 || nCurrent < 2) return out;
  const std::vector<double> a = LinesOf(saved), b = LinesOf(current);
  if (std::all_of(a.begin(), a.end(), [](double v) { return v == 0; }) ||
      std::all_of(b.begin(), b.end(), [](double v) { return v == 0; }))
    return out;
  const int longer = std::max(nSaved, nCurrent);
  const int reach = std::max(1, longer / 4);

  // Coarsest: every whole shift and stretch step on arcs binned to at most
  // kMaxCoarsePixels; then each finer level (half the bin) about the best.
  int factor = (longer + kMaxCoarsePixels - 1) / kMaxCoarsePixels;
  Level level = MakeLevel(a, b, factor, nSaved);
  const int coarseReach = (reach + factor - 1) / factor;
  Found best = Search(level, -level.steps, level.steps, -coarseReach, coarseReach);
  out.correlation = std::clamp(best.value, 0.0, 1.0);
  if (std::abs(best.shift) == coarseReach) return out;
  while (factor > 1) {
    const int next = factor / 2;
    const double stretch = 1 + best.stretch * level.step;
    const int shift = static_cast<int>(std::lround(best.shift * factor / static_cast<double>(next)));
    const int spread = factor / next + 2;
    level = MakeLevel(a, b, next, nSaved);
    const int k = static_cast<int>(std::lround((stretch - 1) / level.step));
    // Two steps of the level above either way: its whole shifts can favour
    // a stretch a step off.
    const int widen = 2 * (factor / next);
    best = Search(level, std::max(-level.steps, k - widen), std::min(level.steps, k + widen), shift - spread,
                  shift + spread);
    factor = next;
  }
  // At full resolution each stretch step is judged by its peak between
  // whole shifts, for the same reason.
  const Found joint = best;
  best.value = -1;
  for (int k = std::max(-level.steps, joint.stretch - 2); k <= std::min(level.steps, joint.stretch + 2);
       ++k) {
    const Peak p =
        BestShift(level.a, level.b, level.centre, 1 + k * level.step, joint.shift - 3, joint.shift + 3);
    if (p.top.value > best.value) best = {k, p.shift, p.top.value};
  }
  out.correlation = std::clamp(best.value, 0.0, 1.0);
  if (level.steps > 0 && std::abs(best.stretch) >= level.steps) return out;

  // The fractions: a parabola over the stretch steps through the peak at
  // each, then one over the whole shifts at that stretch.
  const auto at = [&](double stretch) {
    return BestShift(level.a, level.b, level.centre, stretch, best.shift - 2, best.shift + 2);
  };
  out.stretch = 1 + best.stretch * level.step;
  if (level.steps > 0) {
    const Vertex top = Top(at(out.stretch - level.step).top.value, at(out.stretch).top.value,
                           at(out.stretch + level.step).top.value);
    out.stretch += top.offset * level.step;
  }
  const Peak final = at(out.stretch);
  out.shift = final.shift + final.top.offset;
  out.correlation = std::clamp(final.top.value, 0.0, 1.0);
  out.ok = std::abs(final.shift) < reach && out.correlation >= kMinArcCorrelation;
  return out;
}

}  // namespace lxr4
