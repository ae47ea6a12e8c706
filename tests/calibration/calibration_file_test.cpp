// Calibration files: written, read back and written again to the same text,
// the calibration unchanged to the bit; bad files refused with their message.
#include "calibration/calibration_file.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

CalibrationFile GratingFile() {
  CalibrationFile f;
  f.settings.grooveDensity = 600;
  f.settings.deviationAngle = 25.5;
  f.settings.correction = false;
  f.settings.pixelSize = 13.5f;
  f.calibration.kind = FitKind::Grating;
  f.calibration.grating.settings = f.settings;
  f.calibration.grating.pixelWidth = 13.5f;
  f.calibration.grating.parameters = {101.23456789012345, 1.0 / 3.0, 402.75, true};
  f.lines = {{5460.735, 100.713f, "Hg I", true}, {6402.248, 574.2f, "", false}, {7032.4131, 1.0f / 3.0f, "Ne I  x", true}};
  return f;
}

CalibrationFile PolynomialFile() {
  CalibrationFile f;
  f.calibration.kind = FitKind::Polynomial;
  f.calibration.polynomial = {3, 384.123, 380.5, {5850.1, 790.25, 1.0 / 7.0, -0.05, 0}};
  f.lines = {{5852.488, 446.84f, "Ne", true}};
  return f;
}

TEST(CalibrationFile, RoundTripsEveryNumberExactly) {
  for (const CalibrationFile& f : {GratingFile(), PolynomialFile()}) {
    const std::string text = FormatCalibrationFile(f);
    SCOPED_TRACE(text);
    const CalibrationFileResult r = ParseCalibrationFile(text);
    ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
    EXPECT_EQ(r.file.settings, f.settings);
    EXPECT_EQ(r.file.lines, f.lines);
    EXPECT_EQ(r.file.calibration.kind, f.calibration.kind);
    for (const double column : {1.0, 381.5, 768.0})
      EXPECT_EQ(FittedWavelength(r.file.calibration, column), FittedWavelength(f.calibration, column));
    EXPECT_EQ(FormatCalibrationFile(r.file), text);
  }
  const CalibrationFileResult crlf = ParseCalibrationFile(
      "LXR4 calibration 1\r\ngroove_density 300\r\ndeviation_angle 30\r\nreference_column 381\r\ncorrection on\r\n"
      "pixel_size none\r\nmodel polynomial\r\norder 1\r\ncentre 0\r\nscale 1\r\ncoefficients 4000 2\r\n");
  ASSERT_EQ(crlf.error, CalibrationFileError::None) << crlf.message;
  EXPECT_EQ(FittedWavelength(crlf.file.calibration, 100), 4200.0f);
}

TEST(CalibrationFile, RefusesBadFilesWithAMessage) {
  const std::string good = FormatCalibrationFile(GratingFile());
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  struct Case {
    std::string text;
    CalibrationFileError error;
    std::string message;
  };
  const Case cases[] = {
      {"", CalibrationFileError::NotACalibration, "This is not a calibration file of this program!"},
      {replaced("focal_length", "focal_lenght"), CalibrationFileError::BadLine,
       "Line 9 of the calibration file cannot be read!"},
      {good + "model grating\n", CalibrationFileError::BadLine, "Line 16 of the calibration file cannot be read!"},
      {replaced("5460.735 100.713 used", "5460.735 100.713 maybe"), CalibrationFileError::BadLine,
       "Line 13 of the calibration file cannot be read!"},
      {replaced("line 6402.248 574.2", "line -1 574.2"), CalibrationFileError::BadLine,
       "Line 14 of the calibration file cannot be read!"},
      {replaced("alpha_angle 0.3333333333333333", "alpha_angle nan"), CalibrationFileError::Missing,
       "The calibration file has no valid alpha_angle!"},
      {replaced("orientation descending\n", ""), CalibrationFileError::Missing,
       "The calibration file has no valid orientation!"},
      {replaced("model grating", "model spline"), CalibrationFileError::Missing,
       "The calibration file has no valid model!"},
      {replaced("pixel_width 13.5", "pixel_width 1e300"), CalibrationFileError::Missing,
       "The calibration file has no valid pixel_width!"},
      {"LXR4 calibration 1\ngroove_density 300\ndeviation_angle 30\nreference_column 381\ncorrection on\n"
       "pixel_size none\nmodel polynomial\norder 3\ncentre 0\nscale 1\ncoefficients 4000 2\n",
       CalibrationFileError::Missing, "The calibration file has no valid coefficients!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const CalibrationFileResult r = ParseCalibrationFile(c.text);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.message, c.message);
  }
}

TEST(CalibrationFile, EveryTruncationIsReadOrRefusedNeverACrash) {
  const std::string good = FormatCalibrationFile(GratingFile());
  for (std::size_t n = 0; n < good.size(); ++n) {
    const CalibrationFileResult r = ParseCalibrationFile(std::string_view(good).substr(0, n));
    EXPECT_EQ(r.error == CalibrationFileError::None, r.message.empty()) << n;
  }
}

}  // namespace
}  // namespace lxr4
