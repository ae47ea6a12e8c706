#include "imagefile/spectrum_columns.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace lxr4 {

namespace {

constexpr std::array<std::string_view, 9> kWavelength = {
    "wavelength", "wave", "lambda", "spectral_axis", "wavelen", "wavelengths", "lam", "wl", "awav"};
constexpr std::array<std::string_view, 5> kLogWavelength = {"loglam", "log_lambda", "loglambda", "log_wave",
                                                            "logwave"};
constexpr std::array<std::string_view, 9> kFlux = {
    "flux", "value", "counts", "intensity", "flux_density", "fluxes", "flam", "f_lambda", "signal"};

bool SameLetters(std::string_view a, std::string_view lower) {
  return a.size() == lower.size() && std::equal(a.begin(), a.end(), lower.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? static_cast<char>(x - 'A' + 'a') : x) == y;
         });
}

template <std::size_t N>
bool OneOf(std::string_view name, const std::array<std::string_view, N>& names) {
  return std::any_of(names.begin(), names.end(), [&](std::string_view n) { return SameLetters(name, n); });
}

}  // namespace

SpectrumColumn ClassifySpectrumColumn(std::string_view name) {
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  if (OneOf(name, kWavelength)) return SpectrumColumn::Wavelength;
  if (OneOf(name, kLogWavelength)) return SpectrumColumn::LogWavelength;
  if (OneOf(name, kFlux)) return SpectrumColumn::Flux;
  return SpectrumColumn::Other;
}

}  // namespace lxr4
