// Boxcar and optimal extraction along the trace.
#include "extract/extract.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string>
#include <utility>

#include "extract/fit_tools.h"

namespace lxr4 {
namespace {

// One column's aperture: rows y0 .. y0 + cover.size() - 1, each with the part
// of it the aperture covers, and the column's sky.
struct Aperture {
  double centre = 0;
  int y0 = 0;
  std::vector<double> cover;
  SkyColumn sky;

  [[nodiscard]] int rows() const { return static_cast<int>(cover.size()); }
};

// The program counts columns from 1 in what it says.
std::string At(int x) { return " at column " + std::to_string(x + 1) + "."; }

ExtractResult Apertures(const FrameView& frame, const TraceValue& trace, const ExtractOptions& o,
                        std::vector<Aperture>& apertures) {
  if (!FrameIsUsable(frame)) {
    return ExtractResult::Refused(ExtractError::BadFrame,
                                  "The frame is empty or holds a value that is not a number.");
  }
  const SkyOptions& s = o.sky;
  const bool sky = s.method != SkyMethod::None;
  if (!(o.halfWidth > 0) || !std::isfinite(o.halfWidth) || !(o.rejectSigma > 0) || o.profileHalfWindow < 1 ||
      (sky && (!(s.offset >= o.halfWidth) || !(s.width >= 1) || !std::isfinite(s.offset + s.width))) ||
      (s.method == SkyMethod::Fit && (s.fitOrder < 0 || s.fitOrder > 2))) {
    return ExtractResult::Refused(
        ExtractError::BadOptions,
        "The aperture needs a half-width above 0, and the sky bands a width of at least "
        "one pixel outside the aperture.");
  }
  apertures.assign(static_cast<std::size_t>(frame.width), {});
  for (int x = 0; x < frame.width; ++x) {
    Aperture& a = apertures[static_cast<std::size_t>(x)];
    a.centre = trace.Centre(x);
    const double lo = a.centre - o.halfWidth, hi = a.centre + o.halfWidth;
    if (!std::isfinite(a.centre) || lo < -0.5 || hi > frame.height - 0.5) {
      return ExtractResult::Refused(ExtractError::ApertureOffFrame, "The aperture leaves the frame" + At(x));
    }
    a.y0 = static_cast<int>(std::floor(lo + 0.5));
    for (int y = a.y0; y < frame.height && y - 0.5 < hi; ++y) {
      const double part = std::min(y + 0.5, hi) - std::max(y - 0.5, lo);
      if (part > 0)
        a.cover.push_back(part);
      else if (a.cover.empty())
        ++a.y0;
    }
    auto column = FitSkyColumn(frame, x, a.centre, s);
    if (!column)
      return ExtractResult::Refused(ExtractError::SkyOffFrame, "The sky bands lie off the frame" + At(x));
    a.sky = std::move(*column);
  }
  return {};
}

ExtractResult Sized(int width) {
  ExtractResult r;
  r.flux.assign(static_cast<std::size_t>(width), 0.0);
  r.variance.assign(static_cast<std::size_t>(width), 0.0);
  r.sky.assign(static_cast<std::size_t>(width), 0.0);
  return r;
}

// The profile of the trace's Gaussian over each pixel of the aperture, for a
// column whose frame gives no profile of its own (no flux).
std::vector<double> GaussianProfile(const Aperture& a, double sigma) {
  std::vector<double> p;
  for (int i = 0; i < a.rows(); ++i) {
    const double d = a.y0 + i - a.centre;
    p.push_back(0.5 * (std::erf((d + 0.5) / (sigma * std::numbers::sqrt2)) -
                       std::erf((d - 0.5) / (sigma * std::numbers::sqrt2))));
  }
  return p;
}

// The frame around the trace less the sky, the rows yLo..yHi of every column.
struct Band {
  int yLo = 0, rows = 0, width = 0;
  std::vector<double> data, variance;
  std::vector<double> boxcar;  // each column's aperture sum

  [[nodiscard]] std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(x) * static_cast<std::size_t>(rows) + static_cast<std::size_t>(y - yLo);
  }
};

Band MakeBand(const FrameView& frame, const std::vector<Aperture>& apertures) {
  Band b;
  int yHi = 0;
  b.yLo = frame.height;
  for (const Aperture& a : apertures) {
    b.yLo = std::min(b.yLo, a.y0);
    yHi = std::max(yHi, a.y0 + a.rows() - 1);
  }
  b.rows = yHi - b.yLo + 1;
  b.width = frame.width;
  b.data.resize(static_cast<std::size_t>(b.rows) * static_cast<std::size_t>(frame.width));
  b.variance.resize(b.data.size());
  for (int x = 0; x < frame.width; ++x) {
    const Aperture& a = apertures[static_cast<std::size_t>(x)];
    for (int y = b.yLo; y <= yHi; ++y) {
      b.data[b.index(x, y)] = frame.at(x, y) - a.sky.At(y);
      b.variance[b.index(x, y)] = PixelVariance(frame, x, y);
    }
    double sum = 0;
    for (int i = 0; i < a.rows(); ++i)
      sum += a.cover[static_cast<std::size_t>(i)] * b.data[b.index(x, a.y0 + i)];
    b.boxcar.push_back(sum);
  }
  return b;
}

// Pixels left out as cosmic rays, per column per aperture row.
using Masks = std::vector<std::vector<char>>;

bool Masked(const Masks& masks, const std::vector<Aperture>& apertures, int x, int y) {
  const Aperture& a = apertures[static_cast<std::size_t>(x)];
  const int i = y - a.y0;
  return !masks.empty() && i >= 0 && i < a.rows() &&
         masks[static_cast<std::size_t>(x)][static_cast<std::size_t>(i)];
}

// Each column's profile, normalised so that its covered parts sum to 1. The
// first pass takes the median of the neighbours' normalised profiles (blind to
// cosmic rays); later passes a weighted local quadratic along the row without
// the masked pixels, which follows a tilted trace.
std::vector<std::vector<double>> Profiles(const Band& b, const std::vector<Aperture>& apertures,
                                          const Masks& masks, int halfWindow, double sigma) {
  std::vector<std::vector<double>> profiles(apertures.size());
  std::vector<double> near;
  for (int x = 0; x < b.width; ++x) {
    const Aperture& a = apertures[static_cast<std::size_t>(x)];
    const int x0 = std::max(0, x - halfWindow), x1 = std::min(b.width - 1, x + halfWindow);
    std::vector<double> p(static_cast<std::size_t>(a.rows()), 0.0);
    for (int i = 0; i < a.rows(); ++i) {
      const int y = a.y0 + i;
      if (masks.empty()) {
        near.clear();
        for (int k = x0; k <= x1; ++k) {
          const double s = b.boxcar[static_cast<std::size_t>(k)];
          if (s > 0) near.push_back(b.data[b.index(k, y)] / s);
        }
        p[static_cast<std::size_t>(i)] = MedianInPlace(near);
        continue;
      }
      // Sums for the least squares of p = c0 + c1 d + c2 d^2, d = k - x.
      double m[5] = {0, 0, 0, 0, 0}, r[3] = {0, 0, 0};
      int used = 0;
      for (int k = x0; k <= x1; ++k) {
        const double s = b.boxcar[static_cast<std::size_t>(k)];
        const double v = b.variance[b.index(k, y)];
        if (!(s > 0) || !(v > 0) || Masked(masks, apertures, k, y)) continue;
        const double w = s * s / v, pk = b.data[b.index(k, y)] / s, d = k - x;
        double dp = 1;
        for (int j = 0; j < 5; ++j, dp *= d) {
          m[j] += w * dp;
          if (j < 3) r[j] += w * dp * pk;
        }
        ++used;
      }
      if (used >= 5) {
        const double normal[9] = {m[0], m[1], m[2], m[1], m[2], m[3], m[2], m[3], m[4]},
                     rhs[3] = {r[0], r[1], r[2]};
        // Cramer's rule for c0 of the normal equations.
        const double det = normal[0] * (normal[4] * normal[8] - normal[5] * normal[7]) -
                           normal[1] * (normal[3] * normal[8] - normal[5] * normal[6]) +
                           normal[2] * (normal[3] * normal[7] - normal[4] * normal[6]);
        if (std::abs(det) > 1e-12 * std::abs(normal[0] * normal[4] * normal[8])) {
          const double det0 = rhs[0] * (normal[4] * normal[8] - normal[5] * normal[7]) -
                              normal[1] * (rhs[1] * normal[8] - normal[5] * rhs[2]) +
                              normal[2] * (rhs[1] * normal[7] - normal[4] * rhs[2]);
          p[static_cast<std::size_t>(i)] = det0 / det;
          continue;
        }
      }
      if (m[0] > 0) p[static_cast<std::size_t>(i)] = r[0] / m[0];
    }
    double sum = 0;
    for (int i = 0; i < a.rows(); ++i) {
      p[static_cast<std::size_t>(i)] = std::max(p[static_cast<std::size_t>(i)], 0.0);
      sum += a.cover[static_cast<std::size_t>(i)] * p[static_cast<std::size_t>(i)];
    }
    if (!(sum > 1e-6)) {
      p = GaussianProfile(a, sigma);
      sum = 0;
      for (int i = 0; i < a.rows(); ++i)
        sum += a.cover[static_cast<std::size_t>(i)] * p[static_cast<std::size_t>(i)];
    }
    for (double& v : p) v /= sum;
    profiles[static_cast<std::size_t>(x)] = std::move(p);
  }
  return profiles;
}

struct ColumnFit {
  double flux = 0, variance = 0;
  std::vector<char> mask;
};

// One column by Horne's weights, leaving out the worst pixel beyond the limit
// (at most half of them) until none is.
ColumnFit ExtractColumn(const FrameView& frame, const Band& b, const Aperture& a,
                        const std::vector<double>& q, int x, double rejectSigma) {
  const auto n = static_cast<std::size_t>(a.rows());
  ColumnFit fit;
  fit.mask.assign(n, 0);
  std::vector<double> v(n);
  for (std::size_t i = 0; i < n; ++i)
    v[i] = std::max(b.variance[b.index(x, a.y0 + static_cast<int>(i))], 1e-30);
  const auto estimate = [&](double& sumQ2V, double& sumQV) {
    double num = 0;
    sumQ2V = sumQV = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (fit.mask[i]) continue;
      num += q[i] * b.data[b.index(x, a.y0 + static_cast<int>(i))] / v[i];
      sumQ2V += q[i] * q[i] / v[i];
      sumQV += q[i] / v[i];
    }
    return sumQ2V > 0 ? num / sumQ2V : 0.0;
  };
  std::size_t rejected = 0;
  double sumQ2V = 0, sumQV = 0;
  for (;;) {
    fit.flux = estimate(sumQ2V, sumQV);
    if (frame.variance.empty()) {
      for (std::size_t i = 0; i < n; ++i)
        v[i] = std::max(ModelVariance(frame, fit.flux * q[i] + a.sky.At(a.y0 + static_cast<int>(i))), 1e-30);
      fit.flux = estimate(sumQ2V, sumQV);
    }
    std::size_t worst = n;
    double worstZ2 = rejectSigma * rejectSigma;
    for (std::size_t i = 0; i < n; ++i) {
      if (fit.mask[i]) continue;
      const double r = b.data[b.index(x, a.y0 + static_cast<int>(i))] - fit.flux * q[i];
      if (r * r / v[i] > worstZ2) {
        worstZ2 = r * r / v[i];
        worst = i;
      }
    }
    if (worst == n || 2 * (rejected + 1) > n) break;
    fit.mask[worst] = 1;
    ++rejected;
  }
  const double shift = sumQ2V > 0 ? sumQV / sumQ2V : 0.0;  // of the flux per unit of sky
  fit.variance = (sumQ2V > 0 ? 1 / sumQ2V : 0.0) + a.sky.variance * shift * shift;
  return fit;
}

double SkyUnder(const Aperture& a) {
  double s = 0;
  for (int i = 0; i < a.rows(); ++i) s += a.cover[static_cast<std::size_t>(i)] * a.sky.At(a.y0 + i);
  return s;
}

}  // namespace

double DefaultHalfWidth(const TraceValue& trace) { return std::max(1.5, 3 * trace.sigma); }

ExtractResult ExtractBoxcar(const FrameView& frame, const TraceValue& trace, const ExtractOptions& options) {
  std::vector<Aperture> apertures;
  if (auto refused = Apertures(frame, trace, options, apertures); !refused.ok()) return refused;
  ExtractResult r = Sized(frame.width);
  for (int x = 0; x < frame.width; ++x) {
    const Aperture& a = apertures[static_cast<std::size_t>(x)];
    double flux = 0, variance = 0, cover = 0;
    for (int i = 0; i < a.rows(); ++i) {
      const double w = a.cover[static_cast<std::size_t>(i)];
      const int y = a.y0 + i;
      flux += w * (frame.at(x, y) - a.sky.At(y));
      variance += w * w * PixelVariance(frame, x, y);
      cover += w;
    }
    const auto k = static_cast<std::size_t>(x);
    r.flux[k] = flux;
    r.variance[k] = variance + a.sky.variance * cover * cover;
    r.sky[k] = SkyUnder(a);
  }
  return r;
}

ExtractResult ExtractOptimal(const FrameView& frame, const TraceValue& trace, const ExtractOptions& options) {
  std::vector<Aperture> apertures;
  if (auto refused = Apertures(frame, trace, options, apertures); !refused.ok()) return refused;
  const Band band = MakeBand(frame, apertures);
  const double sigma = trace.sigma > 0 ? trace.sigma : options.halfWidth / 3;
  Masks masks;
  std::vector<ColumnFit> fits;
  for (int pass = 0; pass < 4; ++pass) {
    const auto profiles = Profiles(band, apertures, masks, options.profileHalfWindow, sigma);
    fits.clear();
    Masks next;
    for (int x = 0; x < frame.width; ++x) {
      const auto k = static_cast<std::size_t>(x);
      fits.push_back(ExtractColumn(frame, band, apertures[k], profiles[k], x, options.rejectSigma));
      next.push_back(fits.back().mask);
    }
    // The first pass's median profile only finds the cosmic rays; the
    // extraction is the smoothed profile's.
    const bool settled = pass > 0 && next == masks;
    masks = std::move(next);
    if (settled) break;
  }
  ExtractResult r = Sized(frame.width);
  for (int x = 0; x < frame.width; ++x) {
    const auto k = static_cast<std::size_t>(x);
    r.flux[k] = fits[k].flux;
    r.variance[k] = fits[k].variance;
    r.sky[k] = SkyUnder(apertures[k]);
    r.rejectedPixels += static_cast<int>(std::count(fits[k].mask.begin(), fits[k].mask.end(), 1));
  }
  return r;
}

}  // namespace lxr4
