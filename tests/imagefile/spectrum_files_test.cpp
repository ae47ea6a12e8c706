// The spectrum files before a calibration and with falling wavelengths, and CSV
// under a locale with a decimal comma; the keys and names that say the
// wavelengths' unit, medium and rest frame and a normalisation, and none of
// them for the plain defaults; spectrum_export_check.py reads the
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

// In nm, in vacuum, in the rest frame of +30 km/s and divided by the continuum.
SpectrumExport Framed() {
  SpectrumExport s = Spectrum(true);
  s.wavelength = [](int column) { return 600.0 - 0.25 * column; };
  s.facts.nanometres = s.facts.vacuum = s.facts.normalised = true;
  s.facts.shiftKms = 30;
  return s;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(SpectrumExport, LinearFitsSaysItsUnitMediumShiftAndNormalisation) {
  const SpectrumFile linear = WriteLinearFitsSpectrum(Framed());
  ASSERT_EQ(linear.error, SpectrumFileError::None);
  const std::string text = Text(linear);
  for (const char* card :
       {"CRVAL1  =                 599.", "CDELT1  =                 0.25", "CTYPE1  = 'WAVE    '           / vacuum",
        "CUNIT1  = 'nm      '", "BUNIT   = '        '           / no unit: divided by the continuum",
        "AIRORVAC= 'vac     '           / wavelengths in vacuum",
        "VELSHIFT=                  30. / rest frame of a source at this velocity, km/s",
        "CONTNORM=                    T / values divided by their continuum"})
    EXPECT_EQ(Count(text, card), 1u) << card;
}

TEST(SpectrumExport, FitsTableSaysItsUnitMediumShiftAndNormalisationInBothHeaders) {
  const SpectrumFile table = WriteFitsTableSpectrum(Framed());
  ASSERT_EQ(table.error, SpectrumFileError::None);
  const std::string text = Text(table);
  EXPECT_EQ(Count(text, "TUNIT2  = 'nm      '"), 1u);
  EXPECT_EQ(Count(text, "TTYPE3  = 'VALUE"), 1u);
  EXPECT_EQ(Count(text, "TUNIT3"), 0u);  // normalised values have no unit
  for (const char* key : {"AIRORVAC= 'vac", "VELSHIFT=                  30.", "CONTNORM=                    T"})
    EXPECT_EQ(Count(text, key), 2u) << key;
}

TEST(SpectrumExport, CsvHeaderNamesTheUnitLastAndTheNormalisedValues) {
  const struct {
    bool nanometres, vacuum;
    double shiftKms;
    bool normalised;
    std::string header;
  } cases[] = {
      {true, true, 30, true, "pixel,wavelength_vacuum_rest_30kms_nm,normalised_value\r\n"},
      {false, false, -12.5, false, "pixel,wavelength_rest_-12.5kms_angstrom,value\r\n"},
      {true, false, 0, false, "pixel,wavelength_nm,value\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.header);
    SpectrumExport s = Framed();
    s.facts.nanometres = c.nanometres;
    s.facts.vacuum = c.vacuum;
    s.facts.shiftKms = c.shiftKms;
    s.facts.normalised = c.normalised;
    const std::string csv = Text(WriteCsvSpectrum(s));
    EXPECT_EQ(csv.substr(0, c.header.size()), c.header);
    EXPECT_EQ(csv.substr(c.header.size(), 15), "1,599.75,10\r\n2,");
  }
}

// The plain defaults (Angstrom, air, unshifted, counts) add nothing to what the
// files said before there was a choice: the golden exports stay byte for byte.
TEST(SpectrumExport, PlainFactsAddNoKeys) {
  const std::string linear = Text(WriteLinearFitsSpectrum(Spectrum(true)));
  const std::string table = Text(WriteFitsTableSpectrum(Spectrum(true)));
  for (const std::string& text : {linear, table}) {
    for (const char* key : {"AIRORVAC", "VELSHIFT", "CONTNORM", "'nm "}) EXPECT_EQ(Count(text, key), 0u) << key;
  }
  EXPECT_EQ(Count(linear, "CTYPE1  = 'WAVE    '           / air wavelength, linear"), 1u);
  EXPECT_EQ(Count(linear, "BUNIT   = 'adu     '"), 1u);
  EXPECT_EQ(Count(table, "TUNIT3  = 'adu     '"), 1u);
}

}  // namespace
}  // namespace lxr4
