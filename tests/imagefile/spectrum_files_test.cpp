// The spectrum files before a calibration and with falling wavelengths, and CSV
// under a locale with a decimal comma; spectrum_export_check.py reads the
// calibrated files back with specutils. (The CSV before a calibration and the
// refused linear FITS spectrum are the golden case export-fits.)
#include "imagefile/spectrum_files.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace lxr4 {
namespace {

SpectrumExport Spectrum(bool calibrated) {
  SpectrumExport s;
  s.values = {10, 20.5, 40, 30};
  if (calibrated) s.wavelength = [](int column) { return 6000.0 - 2.5 * column; };  // falling
  s.facts.program = "lxr4 test";
  return s;
}

std::string Text(const SpectrumFile& f) { return std::string(f.bytes.begin(), f.bytes.end()); }

TEST(SpectrumExport, FitsTableBeforeACalibrationHoldsNoWavelengths) {
  const SpectrumFile table = WriteFitsTableSpectrum(Spectrum(false));
  ASSERT_EQ(table.error, SpectrumFileError::None);
  EXPECT_NE(Text(table).find("TTYPE2  = 'VALUE"), std::string::npos);
  EXPECT_EQ(Text(table).find("WAVELENGTH"), std::string::npos);
}

TEST(SpectrumExport, FallingWavelengthsGiveARisingLinearAxis) {
  const SpectrumFile linear = WriteLinearFitsSpectrum(Spectrum(true));
  ASSERT_EQ(linear.error, SpectrumFileError::None);
  const std::string text = Text(linear);
  EXPECT_NE(text.find("CRVAL1  =                5990."), std::string::npos);
  EXPECT_NE(text.find("CDELT1  =                  2.5"), std::string::npos);
  EXPECT_NE(text.find("CTYPE1  = 'WAVE"), std::string::npos);
  SpectrumExport bent = Spectrum(true);
  bent.wavelength = [](int column) { return column == 3 ? 5000.0 : 6000.0 + column; };
  EXPECT_EQ(WriteLinearFitsSpectrum(bent).error, SpectrumFileError::NotMonotonic);
}

TEST(SpectrumExport, CsvKeepsThePointUnderADecimalCommaLocale) {
  const char* const old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old != nullptr ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C.UTF-8");
  const std::string csv = Text(WriteCsvSpectrum(Spectrum(true)));
  SpectrumExport single = Spectrum(true);
  single.wavelength = [](int column) { return column == 1 ? double{3870.6716f} : 4000.1 + column; };
  const std::string singles = Text(WriteCsvSpectrum(single));
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(csv, "pixel,wavelength_angstrom,value\r\n1,5997.5,10\r\n2,5995,20.5\r\n3,5992.5,40\r\n4,5990,30\r\n");
  // A single wavelength with a single's digits, a double with a double's.
  EXPECT_EQ(singles.substr(0, 77), "pixel,wavelength_angstrom,value\r\n1,3870.6716,10\r\n2,4002.1,20.5\r\n3,4003.1,40\r\n");
}

}  // namespace
}  // namespace lxr4
