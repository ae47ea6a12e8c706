#include "calibration/captions.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(MarkCaption, ShowsTheCentroidWithTwoDecimals) {
  EXPECT_EQ(MarkCaption(381.456f), "Pixel 381.46");
  EXPECT_EQ(MarkCaption(2.0f), "Pixel 2.00");
  EXPECT_EQ(MarkCaption(0.004f), "Pixel 0.00");
}

TEST(SummaryCaption, FourLinesWithTheirPatterns) {
  EXPECT_EQ(SummaryCaption(53.7106887, 9.755313, 5886.30469f, -581.168518f),
            "Focal length (mm)= 53.711\r\n"
            "Alpha Angle (deg)= 09.7553\r\n"
            "Pixel 381 Wavelength (A) = 5886.30\r\n"
            "AbsDispersion (A/mm) = 581.1685");
  // Leading zeros of "#00" and "0.", and a four-digit focal length.
  EXPECT_EQ(SummaryCaption(5.25, 12.5, 980.0f, 0.25f),
            "Focal length (mm)= 05.250\r\n"
            "Alpha Angle (deg)= 12.5000\r\n"
            "Pixel 381 Wavelength (A) = 980.00\r\n"
            "AbsDispersion (A/mm) = 0.2500");
  EXPECT_EQ(SummaryCaption(1234.5678, 5.0, 10000.0f, 1000.0f).substr(0, 29),
            "Focal length (mm)= 1234.568\r\n");
}

TEST(CursorCaption, PixelAndValue) {
  EXPECT_EQ(CursorCaption(300, 0), "Pixel 300.00\r\nPixel Value = 0");
  EXPECT_EQ(CursorCaption(7, 123456789), "Pixel 7.00\r\nPixel Value = 123456789");
}

TEST(ReadoutCaption, ThreeLinesWithTheLeadingBlank) {
  EXPECT_EQ(ReadoutCaption(381, 5885.77783f, 1234),
            "Wavelength of pixel 381.00\r\n is 5885.78 Angstroms:\r\nPixel Value = 1234");
  EXPECT_EQ(ReadoutCaption(299.996f, 980.5f, 0),
            "Wavelength of pixel 300.00\r\n is 980.50 Angstroms:\r\nPixel Value = 0");
}

}  // namespace
}  // namespace lxr4
