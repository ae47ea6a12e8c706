// Lines measured at the detector's own pixels on real arcs made into frames
// longer than the 768-column overview (data/README.md): the centroid at the
// cursor's column, found in the full-resolution spectrum, against each
// isolated published line re-centred by a Gaussian fit; and the same line
// measured in the binned overview, as frames were read before.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calibration/centroid.h"
#include "tests/calibration/real_arc_data.h"
#include "calibration/detector.h"

namespace lxr4 {
namespace {

// The centre of a Gaussian on a constant fitted to pixels centre +- 6 by Gauss-Newton.
double GaussianCentre(const std::vector<double>& s, double centre) {
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
  return p[1];
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? INFINITY : v[v.size() / 2];
}

struct ArcErrors {
  std::vector<double> full, binned;
};

// The arc as a frame binned like the import bins it into at most 768 columns.
ArcErrors Measure(const std::string& name, double saturation) {
  std::vector<double> native;  // detector pixel p at native[p - 1]; 20 rows of whole counts
  for (const auto& [pixel, counts] : ReadPairs("rascal-" + name + "-effective-pixel-spectrum.txt"))
    native.push_back(20 * std::round(counts / 20));
  const int length = static_cast<int>(native.size());
  const DetectorMap map{true, 1, (length + 767) / 768, length};
  const int columns = length / map.bin;
  std::vector<double> binned(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c)
    for (int b = 0; b < map.bin; ++b) binned[static_cast<std::size_t>(c)] += native[static_cast<std::size_t>(c * map.bin + b)];

  const std::vector<std::pair<double, double>> lines = ReadPairs("rascal-" + name + "-pixel-wavelength-solution-pairs.txt");
  ArcErrors errors;
  constexpr int kWidth = 5;
  for (const auto& [position, wavelength] : lines) {
    const double pixel = position + 1;  // counted from 1
    const bool isolated = std::none_of(lines.begin(), lines.end(), [&](const auto& other) {
      return other.first != position && std::fabs(other.first - position) < 10;
    });
    const auto peak = static_cast<std::size_t>(std::lround(pixel) - 1);
    if (!isolated || pixel < 10 || pixel > length - 10 || native[peak] >= saturation) continue;
    const double truth = GaussianCentre(native, pixel);
    // The user puts the cursor on the overview column that shows the line.
    const int column = ColumnOfPixel(map, static_cast<int>(std::lround(truth)), columns);
    const CentroidResult full = FindLineNear(native, ColumnCentrePixel(map, column), (map.bin - 1) / 2 + kWidth / 2,
                                             DetectorWindow(map, kWidth));
    const CentroidResult coarse = FindCentroid(binned, column, kWidth);
    if (full.error == CentroidError::None) errors.full.push_back(std::fabs(full.column - truth));
    if (coarse.error == CentroidError::None)
      errors.binned.push_back(std::fabs(ColumnPosition(map, coarse.column) - truth));
  }
  return errors;
}

TEST(FullResolution, RealArcLinesAreMeasuredToAFractionOfADetectorPixel) {
  for (const auto& [name, saturation] : {std::pair{"ghts", 50000.0}, {"floyds-red", 9000.0}, {"dolores-red", 1e9}}) {
    SCOPED_TRACE(name);
    const ArcErrors e = Measure(name, saturation);
    ASSERT_GE(e.full.size(), 6u);
    const double full = Median(e.full), binned = Median(e.binned);
    RecordProperty(std::string(name) + "_median_full", std::to_string(full));
    RecordProperty(std::string(name) + "_median_binned", std::to_string(binned));
    std::printf("%s: %zu isolated lines, median error %.3f px at full resolution, %.3f px binned\n", name,
                e.full.size(), full, binned);
    EXPECT_LE(full, 0.15);
    EXPECT_LT(full, binned);
  }
}

}  // namespace
}  // namespace lxr4
