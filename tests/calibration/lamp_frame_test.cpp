// The lamp frame a calibration was made on: its geometry compared and named,
// and its record in the calibration file written, read back to the bit, and
// refused when it does not describe the calibration's detector.
#include "calibration/lamp_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calibration/calibration_file.h"

namespace lxr4 {
namespace {

LampFrame Frame(int length, std::string axis) {
  LampFrame lamp{"neon  arc 01.fits", length, 101, 2, std::move(axis), {}};
  for (int p = 1; p <= length; ++p) lamp.arc.push_back(500 + p / 3.0 + (p % 7 == 0 ? 12345.678 : -0.25 * p));
  return lamp;
}

// A polynomial calibration of `pixels` detector pixels with its lamp.
CalibrationFile FileWithLamp(int pixels, std::string axis = "rows") {
  CalibrationFile f;
  f.calibration.kind = FitKind::Polynomial;
  f.calibration.pixels = pixels;
  f.calibration.polynomial = {1, pixels / 2.0, pixels / 2.0, {6000, 1000, 0, 0, 0}};
  f.lamp = Frame(pixels, std::move(axis));
  return f;
}

TEST(LampFrame, ComparesAndNamesGeometries) {
  const LampFrame lamp = Frame(3072, "rows");
  EXPECT_TRUE(SameGeometry(lamp, 3072, 101, 2));
  EXPECT_FALSE(SameGeometry(lamp, 3071, 101, 2));
  EXPECT_FALSE(SameGeometry(lamp, 3072, 1, 2));
  EXPECT_FALSE(SameGeometry(lamp, 3072, 101, 1));
  EXPECT_EQ(GeometryWarning(lamp, 512, 1, 1, "columns"),
            "This calibration was made on a frame of 3072 pixels along its rows (from pixel 101, bin 2); this "
            "is a frame of 512 pixels along its columns (from pixel 1, bin 1).");
  EXPECT_EQ(GeometryWarning(lamp, 768, 1, 1, ""),
            "This calibration was made on a frame of 3072 pixels along its rows (from pixel 101, bin 2); this "
            "is a camera image of 768 columns.");
  EXPECT_EQ(DescribeGeometry(768, 1, 1, ""), "a camera image of 768 columns");
}

TEST(LampFrame, CalibrationFileKeepsTheLampToTheBit) {
  for (const char* axis : {"rows", "columns", ""}) {
    SCOPED_TRACE(axis);
    const CalibrationFile f = FileWithLamp(35, axis);
    const std::string text = FormatCalibrationFile(f);
    EXPECT_NE(text.find("\nlamp_file neon  arc 01.fits\nlamp_detector 35 101 2 " +
                        std::string(*axis ? axis : "-") + "\nlamp_arc 500.0833333333333 "),
              std::string::npos)
        << text;
    std::size_t arcLines = 0;
    for (std::size_t at = text.find("lamp_arc"); at != std::string::npos; at = text.find("lamp_arc", at + 1))
      ++arcLines;
    EXPECT_EQ(arcLines, 3u);  // 16 + 16 + 3 values
    const CalibrationFileResult r = ParseCalibrationFile(text);
    ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
    EXPECT_EQ(r.file.lamp, f.lamp);
    EXPECT_EQ(FormatCalibrationFile(r.file), text);
  }
  // A lamp without a file name writes no lamp_file line and reads back the same.
  CalibrationFile f = FileWithLamp(2);
  f.lamp->file.clear();
  const std::string text = FormatCalibrationFile(f);
  EXPECT_EQ(text.find("lamp_file"), std::string::npos);
  EXPECT_EQ(ParseCalibrationFile(text).file.lamp, f.lamp);
}

TEST(LampFrame, CalibrationFileWithoutALampIsAsBefore) {
  CalibrationFile f = FileWithLamp(35);
  f.lamp.reset();
  const std::string text = FormatCalibrationFile(f);
  EXPECT_EQ(text.find("lamp_"), std::string::npos);
  const CalibrationFileResult r = ParseCalibrationFile(text);
  ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
  EXPECT_FALSE(r.file.lamp.has_value());
}

TEST(LampFrame, CalibrationFileTakesTheLongestDetector) {
  const CalibrationFileResult r =
      ParseCalibrationFile(FormatCalibrationFile(FileWithLamp(kMaxDetectorPixels)));
  ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
  ASSERT_TRUE(r.file.lamp.has_value());
  EXPECT_EQ(r.file.lamp->arc.size(), static_cast<std::size_t>(kMaxDetectorPixels));
}

TEST(LampFrame, CalibrationFileRefusesABadLamp) {
  const std::string good = FormatCalibrationFile(FileWithLamp(35));
  const std::size_t arcAt = good.find("lamp_arc");
  const std::string head = good.substr(0, arcAt);  // everything before the arc
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  // The text with the lamp_detector line's fields set to `fields`.
  const auto detector = [&](std::string_view fields) {
    return replaced("lamp_detector 35 101 2 rows", fields);
  };
  const int lastLine = static_cast<int>(std::count(good.begin(), good.end(), '\n'));
  struct Case {
    std::string text;
    CalibrationFileError error;
    std::string message;
  };
  const std::string refused = "The calibration file's lamp_detector is refused: ";
  const std::string length = refused + "the length must be from 2 to 65536 pixels!";
  const Case cases[] = {
      {head, CalibrationFileError::Missing,
       "The calibration file's lamp spectrum has 0 values for 35 pixels!"},
      {good + "lamp_arc 7\n", CalibrationFileError::Missing,
       "The calibration file's lamp spectrum has 36 values for 35 pixels!"},
      {good.substr(0, good.rfind(' ')) + "\n", CalibrationFileError::Missing,
       "The calibration file's lamp spectrum has 34 values for 35 pixels!"},
      {good + "lamp_arc nan\n", CalibrationFileError::BadLine,
       "Line " + std::to_string(lastLine + 1) + " of the calibration file cannot be read!"},
      {good + "lamp_arc 1e999\n", CalibrationFileError::BadLine,
       "Line " + std::to_string(lastLine + 1) + " of the calibration file cannot be read!"},
      {good + "lamp_arc\n", CalibrationFileError::BadLine,
       "Line " + std::to_string(lastLine + 1) + " of the calibration file cannot be read!"},
      {good + "lamp_file again\n", CalibrationFileError::BadLine,
       "Line " + std::to_string(lastLine + 1) + " of the calibration file cannot be read!"},
      {replaced("lamp_file neon  arc 01.fits", "lamp_file"), CalibrationFileError::BadLine,
       "Line 13 of the calibration file cannot be read!"},
      {detector("lamp_detector 1 101 2 rows"), CalibrationFileError::OutOfRange, length},
      {detector("lamp_detector 65537 101 2 rows"), CalibrationFileError::OutOfRange, length},
      {detector("lamp_detector 35.5 101 2 rows"), CalibrationFileError::OutOfRange, length},
      {detector("lamp_detector 35 0 2 rows"), CalibrationFileError::OutOfRange,
       refused + "the first pixel must be a whole number from 1!"},
      {detector("lamp_detector 35 101 0 rows"), CalibrationFileError::OutOfRange,
       refused + "the bin must be a whole number from 1!"},
      {detector("lamp_detector 34 101 2 rows"), CalibrationFileError::OutOfRange,
       refused + "its 34 pixels are not the calibration's 35!"},
      {detector("lamp_detector 35 101 2 diagonal"), CalibrationFileError::Missing,
       "The calibration file has no valid lamp_detector!"},
      {detector("lamp_detector 35 x 2 rows"), CalibrationFileError::Missing,
       "The calibration file has no valid lamp_detector!"},
      {detector(""), CalibrationFileError::Missing, "The calibration file has no valid lamp_detector!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const CalibrationFileResult r = ParseCalibrationFile(c.text);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.message, c.message);
  }
}

}  // namespace
}  // namespace lxr4
