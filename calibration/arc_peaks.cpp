#include "calibration/arc_peaks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "calibration/small_solve.h"

namespace lxr4 {

namespace {

double MedianOf(std::vector<double>& v) {
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// Where the line falls to half its height on one side of `top` (step -1 or
// +1), interpolated between pixels; the last pixel reached when it never does.
double HalfHeightCrossing(const std::vector<double>& y, int top, int step) {
  const double half = y[static_cast<std::size_t>(top)] / 2;
  const int n = static_cast<int>(y.size());
  for (int i = top + step, steps = 0; i >= 0 && i < n && steps < 50; i += step, ++steps) {
    const double v = y[static_cast<std::size_t>(i)];
    if (v <= half) {
      const double previous = y[static_cast<std::size_t>(i - step)];
      const double f = (previous - half) / (previous - v);
      return (i - step) + step * f;
    }
  }
  return std::clamp(top + step * 50, 0, n - 1);
}

// A Gaussian on a constant fitted to y over [first, last] by Gauss-Newton;
// its centre (0-based) when the fit settles within a pixel of `top`.
std::optional<double> GaussianCentre(const std::vector<double>& y, int first, int last, int top,
                                     double width) {
  std::array<double, 4> p{y[static_cast<std::size_t>(top)], static_cast<double>(top),
                          std::max(width / 2.355, 0.5), 0};
  for (int iteration = 0; iteration < 30; ++iteration) {
    std::array<std::array<double, 5>, 4> m{};
    for (int x = first; x <= last; ++x) {
      const double u = (x - p[1]) / p[2], g = std::exp(-0.5 * u * u);
      const std::array<double, 4> d{g, p[0] * g * u / p[2], p[0] * g * u * u / p[2], 1};
      const double r = y[static_cast<std::size_t>(x)] - (p[0] * g + p[3]);
      for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) m[i][j] += d[i] * d[j];
        m[i][4] += d[i] * r;
      }
    }
    std::array<double, 4> step{};
    if (!SolveSmallSystem<4>(m, 4, step)) return std::nullopt;
    for (std::size_t i = 0; i < 4; ++i) p[i] += step[i];
    if (!(p[2] > 0.2) || !(p[0] > 0) || !(std::fabs(p[1] - top) <= 1.0)) return std::nullopt;
    if (std::fabs(step[1]) < 1e-6) return p[1];
  }
  return std::nullopt;
}

// The centre of gravity of y above 0 over +-reach of a centre, re-centred
// on its own nearest half pixel (so that the window lies evenly about a
// flat top of an even number of pixels) until that stays.
double CentroidCentre(const std::vector<double>& y, double top, int reach) {
  const int n = static_cast<int>(y.size());
  double at = top, centre = top;
  for (int round = 0; round < 5; ++round) {
    double sum = 0, moment = 0;
    const int first = std::max(0, static_cast<int>(std::ceil(at - reach))),
              last = std::min(n - 1, static_cast<int>(std::floor(at + reach)));
    for (int x = first; x <= last; ++x) {
      const double w = std::max(0.0, y[static_cast<std::size_t>(x)]);
      sum += w;
      moment += w * x;
    }
    if (!(sum > 0)) break;
    centre = moment / sum;
    const double next = std::round(2 * centre) / 2;
    if (next == at) break;
    at = next;
  }
  return centre;
}

}  // namespace

ArcPeaks FindArcPeaks(std::span<const double> spectrum, double sigmas) {
  ArcPeaks out;
  const int n = static_cast<int>(spectrum.size());
  if (n < 2 * kPeakReach + 3) return out;
  std::vector<double> s(spectrum.begin(), spectrum.end());
  for (double& v : s)
    if (!std::isfinite(v)) v = 0;  // replaced below by the background around it

  std::vector<double> y(s.size()), window, deviation;
  for (int i = 0; i < n; ++i) {
    window.assign(s.begin() + std::max(0, i - kArcBackgroundPixels / 2),
                  s.begin() + std::min(n, i + kArcBackgroundPixels / 2 + 1));
    const double background = MedianOf(window);
    if (!std::isfinite(spectrum[static_cast<std::size_t>(i)])) s[static_cast<std::size_t>(i)] = background;
    y[static_cast<std::size_t>(i)] = s[static_cast<std::size_t>(i)] - background;
    deviation.push_back(std::fabs(y[static_cast<std::size_t>(i)]));
  }
  // A lamp rich in lines leaves its wings in the deviations: the median is
  // taken again over those within 3 sigma until it settles on the noise.
  const double highest = *std::max_element(y.begin(), y.end());
  double sigma = 1.4826 * MedianOf(deviation);
  for (int round = 0; round < 10 && sigma > 0; ++round) {
    std::vector<double> within;
    for (const double d : deviation)
      if (d < 3 * sigma) within.push_back(d);
    if (within.empty()) break;
    sigma = 1.4826 * MedianOf(within);
  }
  out.noise = std::max({sigma, 1e-3 * highest, 1e-300});

  for (int i = kPeakReach; i < n - kPeakReach;) {
    int last = i;  // the end of a flat top
    while (last + 1 < n && s[static_cast<std::size_t>(last + 1)] == s[static_cast<std::size_t>(i)]) ++last;
    const int start = i, top = (i + last) / 2;
    const bool flat = last > i;
    bool highestNear = y[static_cast<std::size_t>(top)] > sigmas * out.noise;
    for (int k = i - kPeakReach; k <= last + kPeakReach && highestNear; ++k)
      if (k >= 0 && k < n && (k < i || k > last) &&
          !(s[static_cast<std::size_t>(k)] < s[static_cast<std::size_t>(i)]))
        highestNear = false;
    i = last + 1;
    if (!highestNear || last >= n - kPeakReach) continue;

    ArcPeak peak;
    peak.height = y[static_cast<std::size_t>(top)];
    peak.saturated = flat;
    peak.fwhm = HalfHeightCrossing(y, top, +1) - HalfHeightCrossing(y, top, -1);
    if (flat) peak.fwhm = std::max(peak.fwhm, static_cast<double>(last - start + 1));
    const int reach = std::max(3, static_cast<int>(std::lround(peak.fwhm)));
    const int first = std::max(0, top - reach), end = std::min(n - 1, top + reach);
    std::optional<double> centre;
    if (!flat) centre = GaussianCentre(y, first, end, top, peak.fwhm);
    peak.pixel = 1 + (centre ? *centre : CentroidCentre(y, (start + last) / 2.0, std::max(2, reach / 2 + 1)));
    if (std::isfinite(peak.pixel) && std::isfinite(peak.fwhm)) out.peaks.push_back(peak);
  }

  std::vector<double> widths;
  for (const ArcPeak& p : out.peaks)
    if (!p.saturated) widths.push_back(p.fwhm);
  if (!widths.empty()) {
    const double typical = MedianOf(widths);
    for (ArcPeak& p : out.peaks) p.blended = p.fwhm > kBlendWidthFactor * typical;
  }
  return out;
}

}  // namespace lxr4
