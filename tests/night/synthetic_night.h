// A synthetic night with known answers, as a camera would record it: frames
// of 616 x 200 (by default) whose last 16 columns are overscan (BIASSEC), a
// bias level that drifts from frame to frame over a fixed pattern, dark
// current with its own pattern, pixels whose response differs by a few per
// cent, flats of a coloured lamp, and object frames with a tilted trace of a
// known spectrum, a sky with emission lines, Gaussian noise of the detector's
// model and cosmic rays. For the night's tests and lxr4-reduce's.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "imagefile/fits_reader.h"

namespace lxr4::testing {

struct NightRecipe {
  int width = 600, height = 200;  // the light-sensitive part
  int overscan = 16;              // columns of overscan beyond it
  double gain = 1, readNoise = 5;
  double flux = 300000;      // the spectrum's total per column, at its brightest
  double sigma = 2;          // of the profile across the slit
  double centre = 95;        // of the trace at the first column
  double tilt = 6;           // pixels across the slit over the frame
  double response = 0.05;    // the pixels' response: 1 +- this (uniform)
  double flatLevel = 50000;  // of the lamp at its brightest
  int cosmicRays = 40;       // per object frame
  std::uint64_t seed = 7;
};

class SyntheticNight {
 public:
  explicit SyntheticNight(NightRecipe r = {}) : r_(r) {
    const std::size_t n = Pixels();
    biasPattern_.resize(n);
    darkRate_.resize(n);
    response_.resize(n);
    Random random{r.seed};
    for (std::size_t i = 0; i < n; ++i) {
      biasPattern_[i] = 6 * random.Uniform();
      darkRate_[i] = 0.05 * (1 + 0.5 * random.Uniform());
      response_[i] = 1 + r.response * random.Uniform();
    }
  }

  [[nodiscard]] const NightRecipe& recipe() const { return r_; }
  [[nodiscard]] int RawWidth() const { return r_.width + r_.overscan; }

  // The true spectrum (total over the slit per column) and the sky per pixel.
  [[nodiscard]] double Spectrum(int x) const {
    const double u = (x + 0.5) / r_.width;
    double s = r_.flux * (0.6 + 0.4 * u);
    for (const double line : {0.15, 0.4, 0.55, 0.8}) s *= 1 - 0.5 * Gauss(u * r_.width, line * r_.width, 2.5);
    return s;
  }
  [[nodiscard]] double Sky(int x) const {
    double s = 30;
    for (const double line : {0.1, 0.33, 0.62, 0.9}) s += 400 * Gauss(x, line * r_.width, 1.5);
    return s;
  }
  // The trace's centre across the slit at column x, for a frame moved `shift` pixels.
  [[nodiscard]] double Centre(double x, double shift = 0) const {
    return r_.centre + shift + r_.tilt * x / (r_.width - 1);
  }

  [[nodiscard]] FitsFrame Bias(int i) const { return Frame("BIAS", 0, i, [](int, int) { return 0.0; }); }
  [[nodiscard]] FitsFrame Dark(int i, double seconds = 300) const {
    return Frame("DARK", seconds, 100 + i, [](int, int) { return 0.0; });
  }
  [[nodiscard]] FitsFrame Flat(int i, double seconds = 10) const {
    return Frame("FLAT", seconds, 200 + i, [this](int x, int) { return Lamp(x); });
  }
  // A lamp frame: emission lines of `amplitude` (per pixel) at `pixels` along
  // the dispersion (from 0, sigma 1.2 pixels), lit evenly across the slit.
  [[nodiscard]] FitsFrame Arc(int i, const std::vector<double>& pixels, const std::vector<double>& amplitude) const {
    return Frame("ARC", 10, 400 + i, [&](int x, int) {
      double light = 0;
      for (std::size_t k = 0; k < pixels.size(); ++k) light += amplitude[k] * Gauss(x, pixels[k], 1.2);
      return light;
    });
  }
  // An object frame, its trace moved `shift` pixels across the slit.
  [[nodiscard]] FitsFrame Object(int i, double seconds = 300, double shift = 0) const {
    FitsFrame f = Frame("OBJECT", seconds, 300 + i, [this, shift](int x, int y) {
      const double c = Centre(x, shift), s = r_.sigma * std::numbers::sqrt2;
      const double part = 0.5 * (std::erf((y + 0.5 - c) / s) - std::erf((y - 0.5 - c) / s));
      return Spectrum(x) * part + Sky(x);
    });
    Random random{r_.seed * 31 + static_cast<std::uint64_t>(i)};
    for (int k = 0; k < r_.cosmicRays; ++k) {
      const int x = static_cast<int>((random.Uniform() + 1) / 2 * (r_.width - 2));
      const int y = static_cast<int>((random.Uniform() + 1) / 2 * (r_.height - 2));
      const double energy = 3000 + 2000 * random.Uniform();
      f.values[Index(x, y)] += static_cast<float>(energy);
      if (k % 3 == 0) f.values[Index(x + 1, y)] += static_cast<float>(energy / 2);
    }
    return f;
  }

 private:
  struct Random {
    std::uint64_t state;
    double Uniform() {  // -1..1 (splitmix64)
      std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
      z ^= z >> 31;
      return static_cast<double>(z >> 11) / static_cast<double>(1ULL << 52) - 1;
    }
    double Normal() {
      const double u = (Uniform() + 1) / 2 + 1e-12, v = (Uniform() + 1) / 2;
      return std::sqrt(-2 * std::log(u)) * std::cos(2 * std::numbers::pi * v);
    }
  };

  static double Gauss(double x, double c, double s) { return std::exp(-0.5 * (x - c) * (x - c) / (s * s)); }
  [[nodiscard]] std::size_t Pixels() const {
    return static_cast<std::size_t>(r_.width) * static_cast<std::size_t>(r_.height);
  }
  [[nodiscard]] std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(RawWidth()) + static_cast<std::size_t>(x);
  }
  // The flat lamp's colour along the dispersion.
  [[nodiscard]] double Lamp(int x) const {
    const double u = (x - 0.6 * r_.width) / (0.5 * r_.width);
    return r_.flatLevel * (0.45 + 0.55 * std::exp(-u * u));
  }

  // A raw frame: the light `light(x, y)` through the pixels' response, the
  // dark for `seconds`, the bias, noise; the overscan the bias level alone.
  template <typename Light>
  [[nodiscard]] FitsFrame Frame(const char* type, double seconds, int number, Light light) const {
    FitsFrame f;
    f.width = RawWidth();
    f.height = r_.height;
    f.bitpix = -32;
    f.values.resize(static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height));
    f.facts.imageType = type;
    if (seconds > 0) f.facts.exposure = seconds;
    f.facts.biasSection = "[" + std::to_string(r_.width + 1) + ":" + std::to_string(f.width) + ",1:" +
                          std::to_string(r_.height) + "]";
    f.facts.trimSection = "[1:" + std::to_string(r_.width) + ",1:" + std::to_string(r_.height) + "]";
    Random random{r_.seed * 1000003 + static_cast<std::uint64_t>(number)};
    const double level = 1000 + 4 * random.Uniform();
    const double rn = r_.readNoise / r_.gain;
    for (int y = 0; y < r_.height; ++y) {
      for (int x = 0; x < f.width; ++x) {
        double v = level;
        if (x < r_.width) {
          const std::size_t p = static_cast<std::size_t>(y) * static_cast<std::size_t>(r_.width) +
                                static_cast<std::size_t>(x);
          const double electrons = response_[p] * light(x, y) + darkRate_[p] * seconds;
          v += biasPattern_[p] + electrons + std::sqrt(std::max(electrons, 0.0) / r_.gain) * random.Normal();
        }
        f.values[Index(x, y)] = static_cast<float>(v + rn * random.Normal());
      }
    }
    return f;
  }

  NightRecipe r_;
  std::vector<double> biasPattern_, darkRate_, response_;
};

}  // namespace lxr4::testing
