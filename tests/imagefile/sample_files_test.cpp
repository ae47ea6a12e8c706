// The lamp sample's lines sit where the truth file beside it says. (The golden
// cases load-* read both samples and show what they hold.)
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "imagefile/camera_image_reader.h"

namespace lxr4 {
namespace {

std::vector<std::uint8_t> ReadSample(const std::string& name) {
  std::ifstream in(std::string(LXR4_SAMPLES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name << " is missing";
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TruthLine {
  double wavelength, column, strength;
};

// The line rows of a truth file: wavelength, column, strength, label.
std::vector<TruthLine> TruthLines(const std::string& name) {
  std::ifstream in(std::string(LXR4_SAMPLES_DIR) + "/" + name);
  EXPECT_TRUE(in) << name << " is missing";
  std::vector<TruthLine> lines;
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream fields(text);
    TruthLine line{};
    if (fields >> line.wavelength >> line.column >> line.strength) lines.push_back(line);
  }
  return lines;
}

// Each well separated lamp line's centroid over the swath lies on its truth
// column: the lines are where the grating model puts them.
TEST(SampleFiles, LampLinesSitAtTheirTruthColumns) {
  const CameraImageFile lamp = ReadCameraImage(ReadSample("lamp.km1"), ReaderStart{false, 0, 0});
  ASSERT_EQ(lamp.error, ReadError::None);
  const std::vector<TruthLine> lines = TruthLines("lamp.truth.txt");
  ASSERT_GE(lines.size(), 20u);
  int checked = 0;
  for (const TruthLine& line : lines) {
    bool isolated = true;
    for (const TruthLine& other : lines)
      if (&other != &line && std::fabs(other.column - line.column) < 8) isolated = false;
    if (!isolated || line.strength < 1000) continue;
    SCOPED_TRACE(line.wavelength);
    const int centre = static_cast<int>(std::lround(line.column));
    double sum = 0, weighted = 0;
    for (int c = centre - 3; c <= centre + 3; ++c) {
      for (int r = 7; r <= 13; ++r) {
        const double v = lamp.at(c, r) - 100.0;
        sum += v;
        weighted += v * c;
      }
    }
    EXPECT_NEAR(weighted / sum, line.column, 0.1);  // noise and the 7-column window stay below 0.1
    ++checked;
  }
  EXPECT_GE(checked, 8);
}

}  // namespace
}  // namespace lxr4
