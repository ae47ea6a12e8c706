// A synthetic night frame with known answers: a tilted trace of a Gaussian
// profile carrying a spectrum with emission and absorption lines, a sky with
// lines across the slit and a gradient, Gaussian noise of the frame's own
// model, and cosmic rays of one to three pixels, drawn last.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "extract/frame.h"

namespace lxr4::testing {

struct FrameRecipe {
  int width = 1024, height = 200;
  double centre0 = 100, slope = 0.02, curve = 0;  // centre = centre0 + slope x + curve x^2
  double sigma = 2.0;                             // of the profile across the slit
  double flux = 40000;                            // the continuum's total per column
  double sky = 100, skyGradient = 0;              // per pixel; its gradient per pixel across the slit
  double gain = 1.5, readNoise = 5;
  int cosmicRays = 0;
  bool noise = true;
  std::uint64_t seed = 1;
};

struct SyntheticFrame {
  FrameRecipe r;
  std::vector<float> values, deposit;  // the frame, and what the rays added
  std::vector<std::uint8_t> ray;       // 1 where a ray fell
  std::vector<double> flux, skyLevel;  // per column: the true spectrum, the sky per pixel at the trace

  [[nodiscard]] double Centre(double x) const { return r.centre0 + r.slope * x + r.curve * x * x; }
  [[nodiscard]] std::size_t Pixel(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x);
  }
  [[nodiscard]] FrameView View() const { return {r.width, r.height, values, {}, r.gain, r.readNoise}; }
};

// xorshift64 and Box-Muller: a seed gives the same frame everywhere.
struct Random {
  std::uint64_t s;
  double Uniform() {
    s ^= s << 13, s ^= s >> 7, s ^= s << 17;
    return (static_cast<double>(s >> 11) + 0.5) / 9007199254740992.0;
  }
  double Normal() { return std::sqrt(-2 * std::log(Uniform())) * std::cos(2 * std::numbers::pi * Uniform()); }
};

inline double GaussianLine(double x, double at, double height, double sigma) {
  return height * std::exp(-0.5 * (x - at) * (x - at) / (sigma * sigma));
}

inline SyntheticFrame MakeFrame(const FrameRecipe& r) {
  const auto size = static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height);
  SyntheticFrame f{r, std::vector<float>(size), std::vector<float>(size), std::vector<std::uint8_t>(size), {},
                   {}};
  Random random{r.seed * 0x9E3779B97F4A7C15ull + 1};
  const double w = r.width, root2 = r.sigma * std::numbers::sqrt2;
  for (int x = 0; x < r.width; ++x) {
    f.flux.push_back(r.flux * (1 + 0.3 * (x / w - 0.5)) *
                     (1 + GaussianLine(x, 0.2 * w, 1.5, 1.8) + GaussianLine(x, 0.55 * w, 0.8, 2.5) -
                      GaussianLine(x, 0.4 * w, 0.6, 3.0) - GaussianLine(x, 0.8 * w, 0.4, 2.0)));
    f.skyLevel.push_back(r.sky * (1 + GaussianLine(x, 0.3 * w, 8, 1.2) + GaussianLine(x, 0.62 * w, 5, 1.2) +
                                  GaussianLine(x, 0.9 * w, 12, 1.2)));
    const double c = f.Centre(x);
    for (int y = 0; y < r.height; ++y) {
      const double object =
          f.flux.back() * 0.5 * (std::erf((y + 0.5 - c) / root2) - std::erf((y - 0.5 - c) / root2));
      const double mean = object + f.skyLevel.back() * (1 + r.skyGradient * (y - c));
      const double sd = std::sqrt(std::max(mean, 0.0) / r.gain + std::pow(r.readNoise / r.gain, 2));
      f.values[f.Pixel(x, y)] = static_cast<float>(mean + (r.noise ? sd * random.Normal() : 0.0));
    }
  }
  for (int k = 0; k < r.cosmicRays; ++k) {
    int x = static_cast<int>(random.Uniform() * r.width), y = static_cast<int>(random.Uniform() * r.height);
    const int length = 1 + static_cast<int>(random.Uniform() * 3);
    const bool across = random.Uniform() < 0.5;
    const double energy = 800 + 6000 * random.Uniform();
    for (int i = 0; i < length && x < r.width && y < r.height; ++i, (across ? y : x) += 1) {
      const auto add = static_cast<float>(energy * (0.6 + 0.4 * random.Uniform()));
      f.values[f.Pixel(x, y)] += add;
      f.deposit[f.Pixel(x, y)] += add;
      f.ray[f.Pixel(x, y)] = 1;
    }
  }
  return f;
}

}  // namespace lxr4::testing
