// Captions at their edges: rounding, leading zeros, wide numbers. The golden
// cases show each caption as a calibration and the read-outs give it.
#include "calibration/captions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lxr4 {
namespace {

TEST(Captions, RoundingLeadingZerosAndWideNumbers) {
  const struct {
    const char* what;
    std::string caption, expected;
  } cases[] = {
      {"mark, rounded", MarkCaption(381.456f), "Pixel 381.46"},
      {"mark, near zero", MarkCaption(0.004f), "Pixel 0.00"},
      {"summary, leading zeros of \"#00\" and \"0.\"", SummaryCaption(5.25, 12.5, 980.0f, 0.25f),
       "Focal length (mm)= 05.250\r\nAlpha Angle (deg)= 12.5000\r\n"
       "Pixel 381 Wavelength (A) = 980.00\r\nAbsDispersion (A/mm) = 0.2500"},
      {"summary, four-digit focal length", SummaryCaption(1234.5678, 5.0, 10000.0f, 1000.0f).substr(0, 29),
       "Focal length (mm)= 1234.568\r\n"},
      {"cursor, wide value", CursorCaption(7, 123456789), "Pixel 7.00\r\nPixel Value = 123456789"},
      {"read-out, rounded up", ReadoutCaption(299.996f, 980.5f, 0),
       "Wavelength of pixel 300.00\r\n is 980.50 Angstroms:\r\nPixel Value = 0"},
      // Never "NaN" or "Inf": a figure that is no number shows as "-".
      {"summary, no dispersion", SummaryCaption(53.7, 9.75, NAN, INFINITY),
       "Focal length (mm)= 53.700\r\nAlpha Angle (deg)= 09.7500\r\n"
       "Pixel 381 Wavelength (A) = -\r\nAbsDispersion (A/mm) = -"},
      {"read-out without a wavelength", NoWavelengthCaption(12, 5),
       "Pixel 12.00\r\n has no wavelength in this calibration\r\nPixel Value = 5"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.caption, c.expected) << c.what;
}

}  // namespace
}  // namespace lxr4
