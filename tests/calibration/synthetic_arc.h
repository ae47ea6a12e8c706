// Arc spectra at a detector's own pixels drawn from a known calibration, for
// the automatic identification tests and benchmark: Gaussian lines where the
// calibration puts their wavelengths, on a sloping background, with noise
// from a fixed seed.
#pragma once

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "base/calibration_values.h"

namespace lxr4 {

struct SyntheticArc {
  std::vector<double> spectrum;  // pixel p at index p - 1
  std::vector<double> drawn;     // wavelengths drawn on the detector
};

// The pixel where the rising or falling `truth` puts `wavelength`, by bisection over 1..pixels.
inline double PixelOf(const std::function<double(double)>& truth, double wavelength, int pixels) {
  double lo = 1, hi = pixels;
  const bool rising = truth(pixels) > truth(1);
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    if ((truth(mid) < wavelength) == rising)
      lo = mid;
    else
      hi = mid;
  }
  return (lo + hi) / 2;
}

// Lines of `wavelengths` that fall on pixels 5..pixels-5 drawn with sigma 1.3
// pixels and heights 2000..20000 counts over a background of ~500 counts,
// with Gaussian noise of `noise` counts.
inline SyntheticArc DrawArc(const std::function<double(double)>& truth,
                            const std::vector<double>& wavelengths, int pixels, double noise,
                            unsigned seed = 7) {
  SyntheticArc arc;
  arc.spectrum.assign(static_cast<std::size_t>(pixels), 0.0);
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> height(2000, 20000);
  for (const double w : wavelengths) {
    const double lo = std::min(truth(1), truth(pixels)), hi = std::max(truth(1), truth(pixels));
    if (w < lo || w > hi) continue;
    const double centre = PixelOf(truth, w, pixels);
    const double h = height(random);
    if (centre < 5 || centre > pixels - 5) continue;
    arc.drawn.push_back(w);
    const int first = std::max(1, static_cast<int>(centre) - 10),
              last = std::min(pixels, static_cast<int>(centre) + 10);
    for (int p = first; p <= last; ++p) {
      const double u = (p - centre) / 1.3;
      arc.spectrum[static_cast<std::size_t>(p - 1)] += h * std::exp(-0.5 * u * u);
    }
  }
  std::normal_distribution<double> gauss(0, noise);
  for (int p = 1; p <= pixels; ++p)
    arc.spectrum[static_cast<std::size_t>(p - 1)] += 500 + 0.05 * p + (noise > 0 ? gauss(random) : 0.0);
  return arc;
}

// `count` wavelengths from `lo` to `hi` Angstroms at random (fixed seed),
// none closer than `gap` to another, sorted.
inline std::vector<double> RandomLines(int count, double lo, double hi, double gap, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> at(lo, hi);
  std::vector<double> lines;
  for (int tries = 0; static_cast<int>(lines.size()) < count && tries < 100 * count; ++tries) {
    const double w = std::round(at(random) * 1000) / 1000;
    if (std::none_of(lines.begin(), lines.end(), [&](double o) { return std::fabs(o - w) < gap; }))
      lines.push_back(w);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

inline std::vector<ListLine> AsList(const std::vector<double>& wavelengths, const std::string& label) {
  std::vector<ListLine> list;
  for (const double w : wavelengths) list.push_back({w, label});
  return list;
}

}  // namespace lxr4
