// The CSV file of Export Spectrum... beyond what the golden case export-csv
// shows whole: the fewest digits of a wavelength, and no locale in its numbers.
#include "output/spectrum_csv.h"

#include <clocale>
#include <locale>
#include <gtest/gtest.h>

namespace lxr4 {
namespace {

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(SpectrumCsv, WavelengthsWithTheFewestDigitsThatReadBack) {
  const std::int32_t values[] = {-5, 2147483647, 0};
  const float wavelengths[] = {6402.246f, 5000.0f, 3870.6716f};
  EXPECT_EQ(SpectrumCsv(values, wavelengths),
            "pixel,wavelength_angstrom,value\n1,6402.246,-5\n2,5000,2147483647\n3,3870.6716,0\n");
  EXPECT_EQ(SpectrumCsv(values, {}), "pixel,value\n1,-5\n2,2147483647\n3,0\n");
}

// The window toolkit switches the C library to the user's locale at start-up.
TEST(SpectrumCsv, PointAsDecimalSeparatorInAnyLocale) {
  const std::string savedC = std::setlocale(LC_ALL, nullptr);
  const std::locale savedCpp;
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // used where installed
  std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  const std::int32_t values[] = {12};
  const float wavelengths[] = {4358.337f};
  EXPECT_EQ(SpectrumCsv(values, wavelengths), "pixel,wavelength_angstrom,value\n1,4358.337,12\n");
  std::locale::global(savedCpp);
  std::setlocale(LC_ALL, savedC.c_str());
}

}  // namespace
}  // namespace lxr4
