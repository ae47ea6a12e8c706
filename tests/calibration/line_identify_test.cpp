// Identify Lines on the lamp sample after the two-line calibration, and the
// peaks of a small spectrum. (Leaving out a peak with two list lines in reach,
// and a list line in reach of two peaks, decides which lines the golden case
// calib-identify-save adds: matching every line in reach fails it.)
#include "calibration/line_identify.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "calibration/centroid.h"
#include "calibration/grating_solver.h"
#include "imagefile/camera_image_reader.h"

namespace lxr4 {
namespace {

// The calibration spectrum of a whole image: the sum of its rows.
std::vector<double> RowSums(const CameraImageFile& image) {
  std::vector<double> s(static_cast<std::size_t>(image.width));
  for (int column = 1; column <= image.width; ++column)
    for (int row = 1; row <= image.height; ++row)
      s[static_cast<std::size_t>(column - 1)] += image.at(column, row);
  return s;
}

// wavelength -> column of samples/lamp.truth.txt
std::map<double, double> TruthLines() {
  std::ifstream in(std::string(LXR4_SAMPLES_DIR) + "/lamp.truth.txt");
  EXPECT_TRUE(in);
  std::map<double, double> truth;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    double wavelength = 0, column = 0;
    if (line.starts_with("#") || !(fields >> wavelength >> column)) continue;
    truth[wavelength] = column;
  }
  return truth;
}

TEST(IdentifyLines, FindsMostLampLinesWithNoWrongMatch) {
  std::ifstream in(std::string(LXR4_SAMPLES_DIR) + "/lamp.km1", std::ios::binary);
  ASSERT_TRUE(in);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const CameraImageFile image = ReadCameraImage(bytes, {});
  ASSERT_EQ(image.error, ReadError::None);
  const std::vector<double> spectrum = RowSums(image);
  const std::map<double, double> truth = TruthLines();
  ASSERT_EQ(truth.size(), 33u);

  // The two-line calibration: "5460.753 (Hg)" at column 300, "6402.246 (Ne)" at 480.
  Grating g;
  g.FocalLength = std::int16_t{50};
  g.PixelWidth = *image.header.pixelWidth;
  const float c1 = FindCentroid(spectrum, 300, 5).column, c2 = FindCentroid(spectrum, 480, 5).column;
  ASSERT_EQ(SolveCalibration(g, {5460.753, c1, 6402.246, c2}), SolveError::None);
  const WavelengthOfColumn calibrated = [&g](double column) { return CalibratedWavelength(g, column); };

  for (const double tolerance : {1.0, 2.0, 3.0}) {
    SCOPED_TRACE(tolerance);
    const LineSet found = IdentifyLines(spectrum, calibrated, BuiltInLineList(), tolerance, 5);
    EXPECT_GE(found.size(), tolerance < 2 ? 27u : 24u);  // of 33; the rest blend or are ambiguous
    for (const CalibrationLine& l : found) {
      SCOPED_TRACE(l.wavelength);
      // A lamp line, and the right one: the lamp line nearest the centroid.
      ASSERT_EQ(truth.count(l.wavelength), 1u);
      const auto nearest = std::min_element(truth.begin(), truth.end(), [&](const auto& a, const auto& b) {
        return std::fabs(a.second - l.column) < std::fabs(b.second - l.column);
      });
      EXPECT_EQ(nearest->first, l.wavelength);
      EXPECT_NEAR(l.column, truth.at(l.wavelength), 0.7);  // columns; blends pull a centroid
      EXPECT_TRUE(l.used);
    }
  }
}

std::vector<double> Lines(std::initializer_list<std::pair<double, double>> columnHeights) {
  std::vector<double> s(200);
  for (int i = 1; i <= 200; ++i) {
    double v = 500 + 3 * ((i * 7919) % 11);  // a background with a little noise
    for (const auto& [column, height] : columnHeights)
      v += height * std::exp(-0.5 * std::pow((i - column) / 1.2, 2));
    s[static_cast<std::size_t>(i - 1)] = static_cast<std::int32_t>(std::lround(std::min(v, 30000.0)));
  }
  return s;
}

// A list that names one wavelength twice still identifies its line (the
// first entry's label), while two different wavelengths in reach stay ambiguous.
TEST(IdentifyLines, AWavelengthListedTwiceIsOneLine) {
  const std::vector<double> spectrum = Lines({{50.3, 4000}, {120.2, 6000}});
  const WavelengthOfColumn linear = [](double column) { return 5000 + 2 * column; };
  const std::vector<ListLine> twice{{5100.6, "A"}, {5100.6, "A again"}, {5240.4, "B"}, {5241.4, "B near"}};
  const LineSet found = IdentifyLines(spectrum, linear, twice, 2, 5);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].wavelength, 5100.6);
  EXPECT_EQ(found[0].label, "A");
  EXPECT_NEAR(found[0].column, 50.3, 0.05);
}

TEST(FindPeaks, FindsLinesFlatTopsIncludedAndNotTheNoise) {
  const std::vector<Peak> peaks = FindPeaks(Lines({{50.3, 4000}, {120, 90000}, {160.5, 800}}), 5);
  ASSERT_EQ(peaks.size(), 3u);
  EXPECT_NEAR(peaks[0].column, 50.3, 0.05);
  EXPECT_NEAR(peaks[1].column, 120, 0.05);  // saturated: a flat top
  EXPECT_NEAR(peaks[2].column, 160.5, 0.1);
  EXPECT_TRUE(FindPeaks(Lines({}), 5).empty());
  EXPECT_TRUE(FindPeaks({}, 5).empty());
}

}  // namespace
}  // namespace lxr4
