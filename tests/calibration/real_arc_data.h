// The real arcs of tests/calibration/data (data/README.md): their text files
// read, and a line's centre measured independently of the program (a
// Gaussian on a constant fitted by Gauss-Newton), for the tests that judge
// measurements and identifications against the published lines.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace lxr4 {

// The two numbers of each "a,b" row of a data file.
inline std::vector<std::pair<double, double>> ReadPairs(const std::string& name) {
  std::ifstream in(std::string(LXR4_SOURCE_DIR) + "/tests/calibration/data/" + name);
  EXPECT_TRUE(in) << name;
  std::vector<std::pair<double, double>> rows;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    double a = 0, b = 0;
    char comma = 0;
    if (fields >> a >> comma >> b) rows.emplace_back(a, b);
  }
  return rows;
}

struct GaussianLine {
  double centre = 0, sigma = 0;  // pixels
};

// A Gaussian on a constant fitted to pixels centre +- 6 of s (pixel p at
// s[p - 1]) by Gauss-Newton.
inline GaussianLine FitGaussianLine(const std::vector<double>& s, double centre) {
  const int lo = static_cast<int>(std::lround(centre)) - 6, hi = lo + 12;
  std::array<double, 4> p{0, centre, 1.5, 0};  // amplitude, centre, sigma, level
  double low = s[static_cast<std::size_t>(lo - 1)];
  for (int x = lo; x <= hi; ++x) low = std::min(low, s[static_cast<std::size_t>(x - 1)]);
  p[3] = low;
  p[0] = s[static_cast<std::size_t>(std::lround(centre) - 1)] - low;
  for (int iteration = 0; iteration < 100; ++iteration) {
    std::array<std::array<double, 5>, 4> m{};  // normal equations with the right side
    for (int x = lo; x <= hi; ++x) {
      const double u = (x - p[1]) / p[2], g = std::exp(-0.5 * u * u);
      const std::array<double, 4> d{g, p[0] * g * u / p[2], p[0] * g * u * u / p[2], 1};
      const double r = s[static_cast<std::size_t>(x - 1)] - (p[0] * g + p[3]);
      for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) m[i][j] += d[i] * d[j];
        m[i][4] += d[i] * r;
      }
    }
    for (std::size_t i = 0; i < 4; ++i)
      for (std::size_t k = i + 1; k < 4; ++k) {
        const double f = m[k][i] / m[i][i];
        for (std::size_t j = i; j < 5; ++j) m[k][j] -= f * m[i][j];
      }
    std::array<double, 4> step{};
    for (std::size_t i = 4; i-- > 0;) {
      double v = m[i][4];
      for (std::size_t j = i + 1; j < 4; ++j) v -= m[i][j] * step[j];
      step[i] = v / m[i][i];
    }
    for (std::size_t i = 0; i < 4; ++i) p[i] += step[i];
    if (std::fabs(step[1]) < 1e-9) break;
  }
  return {p[1], std::fabs(p[2])};
}

inline double GaussianCentre(const std::vector<double>& s, double centre) {
  return FitGaussianLine(s, centre).centre;
}

}  // namespace lxr4
