#include "calibration/captions.h"

#include <cmath>

#include "base/number_text.h"

namespace lxr4 {

namespace {
constexpr const char* kLineBreak = "\r\n";

std::string PixelValueLine(std::int64_t value) {
  return "Pixel Value = " + FormatNumber(static_cast<double>(value), "######0");
}
}  // namespace

std::string MarkCaption(float centroid) { return "Pixel " + FormatNumber(centroid, "##0.00"); }

std::string SummaryCaption(double focalLength, double alphaAngle, float referenceWavelength,
                           float dispersion) {
  return "Focal length (mm)= " + FormatNumber(focalLength, "#00.000") + kLineBreak +
         "Alpha Angle (deg)= " + FormatNumber(alphaAngle, "#00.0000") + kLineBreak +
         "Pixel 381 Wavelength (A) = " + FormatNumber(referenceWavelength, "###0.00") + kLineBreak +
         "AbsDispersion (A/mm) = " + FormatNumber(std::fabs(dispersion), "0.0000");
}

std::string CursorCaption(std::int16_t cursor, std::int64_t pixelValue) {
  return "Pixel " + FormatNumber(cursor, "##0.00") + kLineBreak + PixelValueLine(pixelValue);
}

std::string ReadoutCaption(double pixel, float wavelength, std::int64_t pixelValue) {
  return "Wavelength of pixel " + FormatNumber(pixel, "##0.00") + kLineBreak + " is " +
         FormatNumber(wavelength, "###0.00") + " Angstroms:" + kLineBreak + PixelValueLine(pixelValue);
}

}  // namespace lxr4
