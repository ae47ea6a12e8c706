// The lamp frame a calibration was made on: its geometry compared and named,
// and its record in the calibration file written, read back to the bit, and
// refused when it does not describe the calibration's detector.
#include "calibration/lamp_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "calibration/calibration_file.h"

namespace lxr4 {
namespace {

// A polynomial calibration of `pixels` detector pixels with its lamp, whose
// arc has values of every length (12345.678 every 7th pixel, negatives).
CalibrationFile FileWithLamp(int pixels, std::string axis = "rows") {
  CalibrationFile f;
  f.calibration.kind = FitKind::Polynomial;
  f.calibration.pixels = pixels;
  f.calibration.polynomial = {1, pixels / 2.0, pixels / 2.0, {6000, 1000, 0, 0, 0}};
  f.lamp = LampFrame{"neon  arc 01.fits", pixels, 101, 2, std::move(axis), {}};
  for (int p = 1; p <= pixels; ++p)
    f.lamp->arc.push_back(500 + p / 3.0 + (p % 7 == 0 ? 12345.678 : -0.25 * p));
  return f;
}

TEST(LampFrame, ComparesAndNamesGeometries) {
  const LampFrame lamp = *FileWithLamp(3072).lamp;
  EXPECT_TRUE(SameGeometry(lamp, 3072, 101, 2));
  EXPECT_FALSE(SameGeometry(lamp, 3071, 101, 2));
  EXPECT_FALSE(SameGeometry(lamp, 3072, 1, 2));
  EXPECT_FALSE(SameGeometry(lamp, 3072, 101, 1));
  const std::string made =
      "This calibration was made on a frame of 3072 pixels along its rows (from pixel 101, bin 2)";
  EXPECT_EQ(GeometryWarning(lamp, 512, 1, 1, "columns"),
            made + "; this is a frame of 512 pixels along its columns (from pixel 1, bin 1).");
  EXPECT_EQ(GeometryWarning(lamp, 768, 1, 1, ""), made + "; this is a camera image of 768 columns.");
}

TEST(LampFrame, CalibrationFileKeepsTheLampToTheBit) {
  // Each axis, a lamp without a file name (no lamp_file line), the shortest and the longest detector.
  const std::tuple<int, const char*, const char*> cases[] = {{35, "rows", "neon  arc 01.fits"},
                                                             {35, "columns", "x"},
                                                             {35, "", "x"},
                                                             {2, "rows", ""},
                                                             {kMaxDetectorPixels, "rows", "x"}};
  for (const auto& [pixels, axis, name] : cases) {
    SCOPED_TRACE(testing::Message() << pixels << axis << name);
    CalibrationFile f = FileWithLamp(pixels, axis);
    f.lamp->file = name;
    const std::string text = FormatCalibrationFile(f);
    const CalibrationFileResult r = ParseCalibrationFile(text);
    ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
    EXPECT_EQ(r.file.lamp, f.lamp);
    EXPECT_EQ(FormatCalibrationFile(r.file), text);
    const std::string lampFile = *name ? "\nlamp_file " + std::string(name) : "";
    EXPECT_NE(text.find(lampFile + "\nlamp_detector " + std::to_string(pixels) + " 101 2 " +
                        (*axis ? axis : "-") + "\nlamp_arc 500.0833333333333 "),
              std::string::npos);
    EXPECT_EQ(text.find("lamp_file") == std::string::npos, !*name);
  }
  // A calibration without a lamp writes and reads as it always did.
  CalibrationFile old = FileWithLamp(35);
  old.lamp.reset();
  const CalibrationFileResult r = ParseCalibrationFile(FormatCalibrationFile(old));
  EXPECT_EQ(FormatCalibrationFile(old).find("lamp_"), std::string::npos);
  EXPECT_TRUE(r.error == CalibrationFileError::None && !r.file.lamp) << r.message;
}

TEST(LampFrame, CalibrationFileRefusesABadLamp) {
  using E = CalibrationFileError;
  const std::string good = FormatCalibrationFile(FileWithLamp(35));
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string t = good;
    return t.replace(t.find(from), from.size(), to);
  };
  const auto detector = [&](std::string_view fields) { return replaced(" 35 101 2 rows", fields); };
  const int end = static_cast<int>(std::count(good.begin(), good.end(), '\n')) + 1;  // a line added
  const std::string bad = "Line " + std::to_string(end) + " of the calibration file cannot be read!";
  const std::string refused = "The calibration file's lamp_detector is refused: ";
  const std::string length = refused + "the length must be from 2 to 65536 pixels!";
  const std::string invalid = "The calibration file has no valid lamp_detector!";
  const std::string spectrum = "The calibration file's lamp spectrum has ";
  const std::tuple<std::string, E, std::string> cases[] = {
      {good.substr(0, good.find("lamp_arc")), E::Missing, spectrum + "0 values for 35 pixels!"},
      {good + "lamp_arc 7\n", E::Missing, spectrum + "36 values for 35 pixels!"},
      {good + "lamp_arc nan\n", E::BadLine, bad},
      {good + "lamp_arc\n", E::BadLine, bad},
      {good + "lamp_file again\n", E::BadLine, bad},
      {replaced("lamp_file neon  arc 01.fits", "lamp_file"), E::BadLine,
       "Line 13 of the calibration file cannot be read!"},
      {detector(" 1 101 2 rows"), E::OutOfRange, length},
      {detector(" 65537 101 2 rows"), E::OutOfRange, length},
      {detector(" 35 0 2 rows"), E::OutOfRange, refused + "the first pixel must be a whole number from 1!"},
      {detector(" 35 101 0 rows"), E::OutOfRange, refused + "the bin must be a whole number from 1!"},
      {detector(" 34 101 2 rows"), E::OutOfRange, refused + "its 34 pixels are not the calibration's 35!"},
      {detector(" 35 101 2 diagonal"), E::Missing, invalid},
      {replaced("lamp_detector 35 101 2 rows", ""), E::Missing, invalid},
  };
  for (const auto& [text, error, message] : cases) {
    SCOPED_TRACE(text);
    const CalibrationFileResult r = ParseCalibrationFile(text);
    EXPECT_EQ(r.error, error);
    EXPECT_EQ(r.message, message);
  }
}

}  // namespace
}  // namespace lxr4
