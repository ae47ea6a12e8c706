#include "display/band_colour.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/number_text.h"

namespace lxr4 {

namespace {
std::uint8_t Channel(double v) { return static_cast<std::uint8_t>(RoundHalfEven(v)); }
}  // namespace

int CorrectedBrightness(int grey, float wavelength) {
  const double x = static_cast<double>(wavelength / 10000.0f);
  const float v = static_cast<float>(14.437 * x * x * x - 31.484 * x * x + 21.44 * x - 4.3413);
  // 0.329 / V has no value at V = 0; where V is negative the column is black anyway.
  if (!(v > 0.0f)) return 0;
  const float f = static_cast<float>(0.329 / static_cast<double>(v));
  float b = static_cast<float>(grey) * f;
  if (!(b >= 0.0f)) b = 0.0f;  // also a grey of 0 times an infinite F
  if (b > 255.0f) b = 255.0f;
  return static_cast<int>(RoundHalfEven(static_cast<double>(b)));
}

Rgb BandColour(int brightness, float wavelength) {
  if (!std::isfinite(wavelength)) return kBlack;
  brightness = std::clamp(brightness, 0, 255);
  const std::uint8_t b = Channel(brightness);
  if (wavelength <= 4500.0f) return {0, 0, b};
  if (wavelength > 6250.0f) return {b, 0, 0};
  const float t = (wavelength - 4500.0f) / 1750.0f;
  const std::uint8_t h = Channel(brightness * 255.0 / 256.0);
  const auto k = [brightness](float u) {
    return Channel(static_cast<double>(static_cast<float>(brightness) * u * 1020.0f / 256.0f));
  };
  if (t <= 0.25f) return {0, k(t), h};
  if (t <= 0.5f) return {0, h, k(0.5f - t)};
  if (t <= 0.75f) return {k(t - 0.5f), h, 0};
  return {h, k(1.0f - t), 0};
}

}  // namespace lxr4
