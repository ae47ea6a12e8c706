// Synthetic frames for the reduction tests: a known bias level with read
// noise, dark current per second, a flat's pixel response times a lamp's
// colour, and a smooth object spectrum; the same seed gives the same frames.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>

#include "reduce/frame.h"

namespace lxr4::test {

// Normal deviates from a fixed generator (Box-Muller, so no library's
// distribution decides the numbers).
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : rng_(seed) {}
  double Normal(double sigma) {
    const double u1 = (static_cast<double>(rng_() >> 11) + 0.5) / 9007199254740992.0;
    const double u2 = static_cast<double>(rng_() >> 11) / 9007199254740992.0;
    return sigma * std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::mt19937_64 rng_;
};

inline constexpr int kWidth = 96;
inline constexpr int kHeight = 40;
inline constexpr double kBias = 1000.0;      // counts
inline constexpr double kReadNoise = 5.0;    // counts
inline constexpr double kDarkRate = 0.5;     // counts per second, plus a hot column

// The true bias pattern: a level with a gentle gradient along the rows.
inline double BiasAt(int x, int /*y*/) { return kBias + 0.05 * x; }
// The dark current per second: uniform, column 10 hot.
inline double DarkAt(int x, int /*y*/) { return x == 10 ? 20.0 : kDarkRate; }
// The pixels' response: about 1, a few per cent from pixel to pixel.
inline double ResponseAt(int x, int y) { return 1.0 + 0.03 * std::sin(1.7 * x + 0.9 * y) * std::cos(0.7 * x * y); }
// The lamp's colour along the dispersion (columns), bright in the red.
inline double LampAt(int x) { return 8000.0 * (0.3 + 0.7 * x / kWidth); }
// The object's spectrum as it falls on the detector.
inline double ObjectAt(int x, int y) { return 500.0 + 300.0 * std::exp(-0.5 * std::pow((y - 20) / 3.0, 2)) * (1.0 + 0.5 * std::sin(0.2 * x)); }

template <typename F>
Frame MakeFrame(const char* type, std::optional<double> seconds, F valueAt) {
  Frame f;
  f.width = kWidth;
  f.height = kHeight;
  f.imageType = type;
  f.exposure = seconds;
  f.values.resize(f.pixels());
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) f.values[f.index(x, y)] = static_cast<float>(valueAt(x, y));
  return f;
}

inline Frame BiasFrame(Noise& n) {
  return MakeFrame("BIAS", 0.0, [&](int x, int y) { return BiasAt(x, y) + n.Normal(kReadNoise); });
}
inline Frame DarkFrame(Noise& n, double seconds) {
  return MakeFrame("DARK", seconds,
                   [&](int x, int y) { return BiasAt(x, y) + DarkAt(x, y) * seconds + n.Normal(kReadNoise); });
}
inline Frame FlatFrame(Noise& n, double seconds, double brightness) {
  return MakeFrame("FLAT", seconds, [&](int x, int y) {
    return BiasAt(x, y) + DarkAt(x, y) * seconds + brightness * LampAt(x) * ResponseAt(x, y) + n.Normal(kReadNoise);
  });
}
inline Frame ObjectFrame(Noise& n, double seconds, double readNoise = kReadNoise) {
  return MakeFrame("OBJECT", seconds, [&](int x, int y) {
    return BiasAt(x, y) + DarkAt(x, y) * seconds + ObjectAt(x, y) * ResponseAt(x, y) + n.Normal(readNoise);
  });
}

}  // namespace lxr4::test
