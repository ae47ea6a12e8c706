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
  f.lines = {{5460.735, 100.713f, "Hg I", true},
             {6402.248, 574.2f, "", false},
             {7032.4131, 700.0f + 1.0f / 3.0f, "Ne I  x", true}};
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
      "LXR4 calibration 1\r\ngroove_density 300\r\ndeviation_angle 30\r\nreference_column 381\r\ncorrection "
      "on\r\n"
      "pixel_size none\r\nmodel polynomial\r\norder 1\r\ncentre 0\r\nscale 1\r\ncoefficients 4000 2\r\n");
  ASSERT_EQ(crlf.error, CalibrationFileError::None) << crlf.message;
  EXPECT_EQ(FittedWavelength(crlf.file.calibration, 100), 4200.0f);
}

// A FITS frame's calibration counts its detector pixels, and says so.
TEST(CalibrationFile, AFramesCalibrationNamesItsDetector) {
  CalibrationFile f = PolynomialFile();
  f.calibration.pixels = 3072;
  f.lines = {{5852.488, 2900.5f, "Ne", true}};
  const std::string text = FormatCalibrationFile(f);
  EXPECT_NE(text.find("\ndetector_pixels 3072\n"), std::string::npos);
  const CalibrationFileResult r = ParseCalibrationFile(text);
  ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
  EXPECT_EQ(r.file.calibration.pixels, 3072);
  EXPECT_EQ(FormatCalibrationFile(r.file), text);
  // Without the line the file counts a camera image's 768 columns.
  EXPECT_EQ(FormatCalibrationFile(PolynomialFile()).find("detector_pixels"), std::string::npos);
  std::string camera = text;
  camera.erase(camera.find("detector_pixels 3072\n"), 21);
  EXPECT_EQ(ParseCalibrationFile(camera).message,
            "Line 12 of the calibration file: the centroid must be a column from 1 to 768!");
  std::string bad = text;
  bad.replace(bad.find("3072"), 4, "1.5");
  EXPECT_EQ(ParseCalibrationFile(bad).message, "The calibration file has no valid detector_pixels!");
}

struct Refusal {
  std::string text;
  CalibrationFileError error;
  std::string message;
};

void ExpectRefused(std::initializer_list<Refusal> cases) {
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.text);
    const CalibrationFileResult r = ParseCalibrationFile(c.text);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.message, c.message);
  }
}

using E = CalibrationFileError;

TEST(CalibrationFile, RefusesBadFilesWithAMessage) {
  const std::string good = FormatCalibrationFile(GratingFile());
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string t = good;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  const std::string unread = " of the calibration file cannot be read!";
  const auto missing = [](std::string key) { return "The calibration file has no valid " + key + "!"; };
  ExpectRefused({
      {"", E::NotACalibration, "This is not a calibration file of this program!"},
      {replaced("focal_length", "focal_lenght"), E::BadLine, "Line 9" + unread},
      {good + "model grating\n", E::BadLine, "Line 16" + unread},
      {replaced("5460.735 100.713 used", "5460.735 100.713 maybe"), E::BadLine, "Line 13" + unread},
      {replaced("line 6402.248 574.2", "line x 574.2"), E::BadLine, "Line 14" + unread},
      {replaced("alpha_angle 0.3333333333333333", "alpha_angle nan"), E::Missing, missing("alpha_angle")},
      {replaced("orientation descending\n", ""), E::Missing, missing("orientation")},
      {replaced("model grating", "model spline"), E::Missing, missing("model")},
      {replaced("pixel_width 13.5", "pixel_width x"), E::Missing, missing("pixel_width")},
      {"LXR4 calibration 1\ngroove_density 300\ndeviation_angle 30\nreference_column 381\ncorrection on\n"
       "pixel_size none\nmodel polynomial\norder 3\ncentre 0\nscale 1\ncoefficients 4000 2\n",
       E::Missing, missing("coefficients")},
  });
}

// A label is the rest of its line, whatever it holds: "5" is not found in
// the line's wavelength, "used" is not the flag.
TEST(CalibrationFile, LabelsRoundTripExactly) {
  const char* const labels[] = {"5",      "0",       "used",  "unused",         "5015.675", "line 1 2 used x",
                                "Ne I  x", "H-alpha (6562.8)", "a,b;c", "#not a comment", ""};
  for (const char* label : labels) {
    SCOPED_TRACE(label);
    CalibrationFile f = PolynomialFile();
    f.lines = {{5015.675, 200.5f, label, true}, {5852.488, 446.84f, label, false}};
    const CalibrationFileResult r = ParseCalibrationFile(FormatCalibrationFile(f));
    ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
    EXPECT_EQ(r.file.lines, f.lines);
  }
  // Blanks around a label and control characters in it are not kept by the
  // program: a label reads back as PlainLabel makes it.
  CalibrationFile f = PolynomialFile();
  f.lines = {{5015.675, 200.5f, " Hg\tI\r", true}};
  const CalibrationFileResult r = ParseCalibrationFile(FormatCalibrationFile(f));
  ASSERT_EQ(r.error, CalibrationFileError::None) << r.message;
  EXPECT_EQ(r.file.lines.at(0).label, "Hg I");
}

// Each value the Instrument dialog or Add Line refuses refuses the file,
// named in the message; nothing reaches a conversion out of range. (A groove
// density, a reference column and a wavelength named twice are the golden case
// calib-file-refused.)
TEST(CalibrationFile, RefusesValuesTheDialogsRefuse) {
  const std::string grating = FormatCalibrationFile(GratingFile());
  const std::string polynomial = FormatCalibrationFile(PolynomialFile());
  // The text with the value of `key`'s line (the first) set to `value`.
  const auto with = [](std::string t, const std::string& key, std::string_view value) {
    const std::size_t at = t.find("\n" + key + " ");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos) return t;
    const std::size_t from = at + key.size() + 2;
    t.replace(from, t.find('\n', from) - from, value);
    return t;
  };
  // The message for `key`'s value refused as the dialog refuses it.
  const auto refused = [](const std::string& key, const std::string& why) {
    return "The calibration file's " + key + " is refused: the " + why + "!";
  };
  const std::string column = "reference column must be a number from 1 to 768";
  const std::string centroid = "Line 13 of the calibration file: the centroid must be a column from 1 to 768!";
  const std::string noWavelength = "The calibration in the file gives no wavelength above 0 at column 1!";
  ExpectRefused({
      {with(grating, "deviation_angle", "1000"), E::OutOfRange,
       refused("deviation_angle", "deviation angle must be a number of degrees from 0 to 180")},
      {with(grating, "focal_length", "1e308"), E::OutOfRange,
       refused("focal_length", "focal length must be a number of millimetres above 0 and up to 1000000")},
      {with(grating, "alpha_angle", "1e308"), E::OutOfRange,
       refused("alpha_angle", "alpha angle must be a number of degrees from -90 to 90")},
      {with(grating, "pixel_size", "1e-45"), E::OutOfRange,
       refused("pixel_size", "pixel size must be at least 0.1 micrometres")},
      {with(grating, "pixel_width", "1e300"), E::OutOfRange,
       refused("pixel_width", "pixel size must be a number of micrometres above 0")},
      {with(grating, "theta_zero_column", "-1e300"), E::OutOfRange, refused("theta_zero_column", column)},
      {polynomial + "line 6000 446.9 used\n", E::OutOfRange,
       "Line 13 of the calibration file lies within a pixel of a line above it!"},
      {polynomial + "line 6000 0.5 used\n", E::OutOfRange, centroid},
      {polynomial + "line 6000 1e300 used\n", E::OutOfRange, centroid},
      {polynomial + "line 0 500 used\n", E::OutOfRange,
       "Line 13 of the calibration file: the wavelength must be from 100 to 100000 Angstroms!"},
      // one of 1e300 Angstroms per column (one through 0: calib-file-refused)
      {with(polynomial, "coefficients", "5000 1e300 0 0"), E::NoWavelength, noWavelength},
      {with(polynomial, "scale", "1e-320"), E::NoWavelength, noWavelength},
  });
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
