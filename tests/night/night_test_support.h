// The synthetic night's masters, built once for the night's tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "night/night_frame.h"
#include "night/night_masters.h"
#include "synthetic_night.h"

namespace lxr4::testing {

inline std::vector<NamedFits> Named(const std::vector<FitsFrame>& frames, const char* stem) {
  std::vector<NamedFits> named;
  for (std::size_t i = 0; i < frames.size(); ++i)
    named.push_back({std::string(stem) + std::to_string(i + 1) + ".fits", frames[i]});
  return named;
}

// Bias, dark and flat masters of five frames each.
inline NightMasters MastersOf(const SyntheticNight& night) {
  std::vector<FitsFrame> biases, darks, flats;
  for (int i = 0; i < 5; ++i) {
    biases.push_back(night.Bias(i));
    darks.push_back(night.Dark(i));
    flats.push_back(night.Flat(i));
  }
  NightMasters m;
  MasterRequest request;
  request.kind = MasterKind::Bias;
  m.bias = BuildMaster(Named(biases, "bias"), request).frame;
  request.kind = MasterKind::Dark;
  request.bias = &*m.bias;
  m.darkRate = BuildMaster(Named(darks, "dark"), request).frame;
  request.kind = MasterKind::Flat;
  request.darkRate = &*m.darkRate;
  m.flat = BuildMaster(Named(flats, "flat"), request).frame;
  return m;
}

// The median over the columns of |extracted / true - 1|.
inline double MedianError(const std::vector<double>& flux, const SyntheticNight& night) {
  std::vector<double> e;
  for (std::size_t x = 0; x < flux.size(); ++x) e.push_back(std::abs(flux[x] / night.Spectrum(static_cast<int>(x)) - 1));
  if (e.empty()) return 1;
  std::nth_element(e.begin(), e.begin() + static_cast<std::ptrdiff_t>(e.size() / 2), e.end());
  return e[e.size() / 2];
}

}  // namespace lxr4::testing
