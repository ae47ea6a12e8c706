#include "calibration/captions.h"

#include <cmath>

#include "base/number_text.h"

namespace lxr4 {

namespace {
constexpr const char* kLineBreak = "\r\n";

// A summary figure; "-" where the solve gave no number (never "NaN" or "Inf").
std::string Figure(double value, std::string_view pattern) {
  return std::isfinite(value) ? FormatNumber(value, pattern) : std::string("-");
}

std::string PixelValueLine(std::int64_t value) {
  return "Pixel Value = " + FormatNumber(static_cast<double>(value), "######0");
}
}  // namespace

std::string MarkCaption(float centroid) { return "Pixel " + FormatNumber(centroid, "##0.00"); }

std::string SummaryCaption(double focalLength, double alphaAngle, float referenceWavelength,
                           float dispersion) {
  return "Focal length (mm)= " + Figure(focalLength, "#00.000") + kLineBreak +
         "Alpha Angle (deg)= " + Figure(alphaAngle, "#00.0000") + kLineBreak +
         "Pixel 381 Wavelength (A) = " + Figure(referenceWavelength, "###0.00") + kLineBreak +
         "AbsDispersion (A/mm) = " + Figure(std::fabs(dispersion), "0.0000");
}

std::string CursorCaption(int cursor, std::int64_t pixelValue) {
  return "Pixel " + FormatNumber(cursor, "##0.00") + kLineBreak + PixelValueLine(pixelValue);
}

std::string ReadoutCaption(double pixel, float wavelength, std::int64_t pixelValue) {
  return "Wavelength of pixel " + FormatNumber(pixel, "##0.00") + kLineBreak + " is " +
         FormatNumber(wavelength, "###0.00") + " Angstroms:" + kLineBreak + PixelValueLine(pixelValue);
}

std::string NoWavelengthCaption(double pixel, std::int64_t pixelValue) {
  return "Pixel " + FormatNumber(pixel, "##0.00") + kLineBreak + " has no wavelength in this calibration" +
         kLineBreak + PixelValueLine(pixelValue);
}

}  // namespace lxr4
