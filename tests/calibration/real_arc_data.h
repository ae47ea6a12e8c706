// The real arc spectra of data/ (README.md there): two comma-separated
// numbers per line, a pixel (0-based) and counts, or a line's published
// position and wavelength.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace lxr4 {

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

}  // namespace lxr4
