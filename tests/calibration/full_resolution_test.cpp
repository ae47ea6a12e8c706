// Lines measured at the detector's own pixels on real arcs made into frames
// longer than the 768-column overview (data/README.md): the centroid at the
// cursor's column, found in the full-resolution spectrum, against each
// isolated published line re-centred by a Gaussian fit; and the same line
// measured in the binned overview, as frames were read before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calibration/centroid.h"
#include "calibration/detector.h"
#include "tests/calibration/real_arc_data.h"

namespace lxr4 {
namespace {

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
