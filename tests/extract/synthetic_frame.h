// A synthetic night frame with known answers: a tilted trace of a Gaussian
// profile carrying a spectrum with emission and absorption lines, a sky with
// lines across the slit and a gradient, Gaussian noise of the frame's own
// model, and cosmic rays of one to three pixels.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

#include "extract/frame.h"

namespace lxr4::testing {

struct FrameRecipe {
  int width = 1024;
  int height = 200;
  double centre0 = 100, slope = 0.02, curve = 0;  // centre = centre0 + slope x + curve x^2
  double sigma = 2.0;                              // of the profile across the slit
  double flux = 40000;                             // the continuum's total per column
  double sky = 100, skyGradient = 0;               // per pixel; gradient per pixel across the slit
  double gain = 1.5, readNoise = 5;
  int cosmicRays = 0;
  bool noise = true;
  std::uint64_t seed = 1;
};

struct SyntheticFrame {
  std::vector<float> values;
  std::vector<double> flux;       // the true spectrum per column (all of the profile)
  std::vector<double> skyLevel;   // the true sky per pixel at the trace, per column
  std::vector<std::uint8_t> ray;  // 1 where a cosmic ray fell
  std::vector<float> deposit;     // what it added
  FrameRecipe recipe;

  [[nodiscard]] double Centre(double x) const {
    return recipe.centre0 + recipe.slope * x + recipe.curve * x * x;
  }
  [[nodiscard]] FrameView View() const {
    return {recipe.width, recipe.height, values, {}, recipe.gain, recipe.readNoise};
  }
};

// A fixed generator, so a seed gives the same frame everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  double Uniform() {  // in (0, 1)
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return (static_cast<double>(state_ >> 11) + 0.5) / 9007199254740992.0;
  }
  double Normal() {
    return std::sqrt(-2 * std::log(Uniform())) * std::cos(2 * std::numbers::pi * Uniform());
  }

 private:
  std::uint64_t state_;
};

inline double GaussianLine(double x, double at, double height, double sigma) {
  const double u = (x - at) / sigma;
  return height * std::exp(-0.5 * u * u);
}

inline SyntheticFrame MakeFrame(const FrameRecipe& r) {
  SyntheticFrame f;
  f.recipe = r;
  const auto size = static_cast<std::size_t>(r.width) * static_cast<std::size_t>(r.height);
  f.values.assign(size, 0.0f);
  f.ray.assign(size, 0);
  f.deposit.assign(size, 0.0f);
  Random random(r.seed);
  const double w = r.width;
  for (int x = 0; x < r.width; ++x) {
    // Continuum with a slope, two emission and two absorption lines.
    const double spectrum = r.flux * (1 + 0.3 * (x / w - 0.5)) *
                            (1 + GaussianLine(x, 0.2 * w, 1.5, 1.8) + GaussianLine(x, 0.55 * w, 0.8, 2.5) -
                             GaussianLine(x, 0.4 * w, 0.6, 3.0) - GaussianLine(x, 0.8 * w, 0.4, 2.0));
    const double sky = r.sky * (1 + GaussianLine(x, 0.3 * w, 8, 1.2) + GaussianLine(x, 0.62 * w, 5, 1.2) +
                                GaussianLine(x, 0.9 * w, 12, 1.2));
    f.flux.push_back(spectrum);
    const double c = f.Centre(x);
    f.skyLevel.push_back(sky);
    for (int y = 0; y < r.height; ++y) {
      const double a = (y - 0.5 - c) / (r.sigma * std::numbers::sqrt2), b = (y + 0.5 - c) / (r.sigma * std::numbers::sqrt2);
      const double object = spectrum * 0.5 * (std::erf(b) - std::erf(a));
      const double mean = object + sky * (1 + r.skyGradient * (y - c));
      const double sd = std::sqrt(std::max(mean, 0.0) / r.gain + std::pow(r.readNoise / r.gain, 2));
      f.values[static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x)] =
          static_cast<float>(mean + (r.noise ? sd * random.Normal() : 0.0));
    }
  }
  for (int k = 0; k < r.cosmicRays; ++k) {
    int x = static_cast<int>(random.Uniform() * r.width), y = static_cast<int>(random.Uniform() * r.height);
    const int length = 1 + static_cast<int>(random.Uniform() * 3);
    const bool across = random.Uniform() < 0.5;
    const double energy = 800 + 6000 * random.Uniform();
    for (int i = 0; i < length && x < r.width && y < r.height; ++i) {
      const auto j = static_cast<std::size_t>(y) * static_cast<std::size_t>(r.width) + static_cast<std::size_t>(x);
      const auto add = static_cast<float>(energy * (0.6 + 0.4 * random.Uniform()));
      f.values[j] += add;
      f.deposit[j] += add;
      f.ray[j] = 1;
      (across ? y : x) += 1;
    }
  }
  return f;
}

}  // namespace lxr4::testing
