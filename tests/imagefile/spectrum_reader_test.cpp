// Reading 1-D spectra: the program's own three exports read back, files that
// specutils and astropy write (made at test time by spectrum_reader_fixtures.py),
// text in its usual shapes, every refusal with its message, and the decoder's
// spectrum answer held to its form.
#include "imagefile/spectrum_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imagefile/fits_answer.h"
#include "imagefile/gzip.h"
#include "imagefile/spectrum_files.h"
#include "tests/imagefile/fits_cards.h"

namespace lxr4 {
namespace {

using namespace fits_cards;
const std::string kDecoder = LXR4_FITS_DECODER;

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

SpectrumReadResult Read(const Bytes& bytes, const std::string& decoder = kDecoder) {
  return ReadSpectrumFile(bytes, "star.dat", decoder);
}

// A 1-D FITS image of 10 16-bit zeros with `cards` after the mandatory ones.
Bytes LinearImage(const std::vector<std::string>& cards, int naxis1 = 10) {
  return Primary(16, {naxis1}, cards, static_cast<std::size_t>(naxis1) * 2);
}

// ---- the program's own exports ----

SpectrumExport Export(bool calibrated) {
  SpectrumExport s;
  for (int i = 0; i < 50; ++i) s.values.push_back(1000.0 + 37.25 * i - 0.5 * i * i);
  if (calibrated) s.wavelength = [](int column) { return 4000.0 + 2.5 * column; };
  s.facts.object = "Vega";
  return s;
}

TEST(SpectrumReader, ReadsBackTheProgramsOwnExports) {
  const SpectrumExport source = Export(true);
  struct Case {
    const char* name;
    SpectrumFile file;
    double tolerance;  // relative: the linear axis holds floats
    const char* object;
  };
  const std::vector<Case> cases = {{"linear FITS", WriteLinearFitsSpectrum(source), 1e-7, "Vega"},
                                   {"FITS table", WriteFitsTableSpectrum(source), 0, "Vega"},
                                   {"CSV", WriteCsvSpectrum(source), 0, "star.dat"},
                                   {"gzip-compressed FITS table",
                                    {SpectrumFileError::None, Gzip(WriteFitsTableSpectrum(source).bytes)},
                                    0,
                                    "Vega"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.file.error, SpectrumFileError::None);
    const SpectrumReadResult r = Read(c.file.bytes);
    ASSERT_EQ(r.error, SpectrumReadError::None) << r.message;
    ASSERT_EQ(r.wavelength.size(), source.values.size());
    for (std::size_t i = 0; i < source.values.size(); ++i) {
      EXPECT_NEAR(r.wavelength[i], source.wavelength(static_cast<int>(i) + 1), 1e-9);
      EXPECT_NEAR(r.flux[i], source.values[i], std::abs(source.values[i]) * c.tolerance);
    }
    EXPECT_EQ(r.name, c.object);
  }
}

// Exports in nm (in vacuum, shifted, normalised: said by keys the reader
// passes over) read back in Angstrom.
TEST(SpectrumReader, ReadsExportsInNanometresAsAngstrom) {
  SpectrumExport source = Export(true);
  source.wavelength = [](int column) { return 400.0 + 0.25 * column; };
  source.facts.nanometres = source.facts.vacuum = source.facts.normalised = true;
  source.facts.shiftKms = -12.5;
  for (const SpectrumFile& file :
       {WriteLinearFitsSpectrum(source), WriteFitsTableSpectrum(source), WriteCsvSpectrum(source)}) {
    ASSERT_EQ(file.error, SpectrumFileError::None);
    const SpectrumReadResult r = Read(file.bytes);
    ASSERT_EQ(r.error, SpectrumReadError::None) << r.message;
    ASSERT_EQ(r.wavelength.size(), source.values.size());
    EXPECT_NEAR(r.wavelength.front(), 4002.5, 1e-9);
    EXPECT_NEAR(r.wavelength.back(), 4125.0, 1e-9);
  }
}

// The axis keys of a 1-D image: Angstrom at samples 1 and 10 of LinearImage.
TEST(SpectrumReader, ReadsTheAxisOfAFitsImage) {
  struct Case {
    const char* name;
    Bytes file;
    double first, last;
  };
  const std::vector<Case> cases = {
      {"CRPIX1 left out", LinearImage({"CRVAL1  = 5000", "CDELT1  = 2"}), 5000, 5018},
      {"CD1_1 and CRPIX1", LinearImage({"CRVAL1  = 5000", "CD1_1   = -2", "CRPIX1  = 10"}), 5018, 5000},
      {"micrometres", LinearImage({"CRVAL1  = 0.5", "CDELT1  = 1E-4", "CUNIT1  = 'um'"}), 5000, 5009},
      {"DC-FLAG 1", LinearImage({"CRVAL1  = 3.7", "CDELT1  = 0.01", "DC-FLAG = 1"}), std::pow(10, 3.7),
       std::pow(10, 3.79)},
      {"WAVE-LOG", LinearImage({"CRVAL1  = 5000", "CDELT1  = 2", "CTYPE1  = 'WAVE-LOG'"}), 5000,
       5000 * std::exp(18.0 / 5000)},
      {"one row of a 2-D image",
       Primary(16, {10, 1}, {"CRVAL1  = 5000", "CDELT1  = 2", "OBJECT  = 'M 57'"}, 20), 5000, 5018},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SpectrumReadResult r = Read(c.file);
    ASSERT_EQ(r.error, SpectrumReadError::None) << r.message;
    ASSERT_EQ(r.wavelength.size(), 10U);
    EXPECT_NEAR(r.wavelength.front(), c.first, 1e-9 * c.first);
    EXPECT_NEAR(r.wavelength.back(), c.last, 1e-9 * c.last);
    EXPECT_EQ(r.flux, std::vector<double>(10, 0.0));
  }
  EXPECT_EQ(Read(cases.back().file).name, "M 57");
}

// ---- files of other programs ----

TEST(SpectrumReader, ReadsWhatSpecutilsAndAstropyWrite) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lxr4-spectrum-reader-test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string command = "/usr/bin/python3 " LXR4_SPECTRUM_FIXTURES " " + dir.string();
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  struct Case {
    const char* file;
    double (*wavelength)(double i);  // Angstrom at sample i (from 0)
    double (*flux)(double i);
    const char* unit;
    const char* name;
    double tolerance;  // Angstrom
  };
  const std::vector<Case> cases = {
      {"tabular-nm.fits", [](double i) { return 10 * (400 + i); }, [](double i) { return 100 + 0.5 * i; },
       "Jy", "tabular-nm.fits", 1e-9},
      {"wcs1d-nm.fits", [](double i) { return 4000 + 5 * i; }, [](double i) { return 1.5 * i; }, "Jy",
       "wcs1d-nm.fits", 1e-6},
      {"loglinear.fits", [](double i) { return std::pow(10.0, 3.6 + 1e-4 * i); },
       [](double i) { return i * i; }, "", "HD 1234", 1e-6},
      {"row-in-extension.fits", [](double i) { return 6000 - 2 * (i - 10); }, [](double i) { return 7 - i; },
       "erg/s/cm2/A", "row-in-extension.fits", 1e-9},
      {"loglam-vector.fits",
       [](double i) { return std::pow(10.0, double{static_cast<float>(3.5 + 1e-4 * i)}); },
       [](double i) { return 2 * i; }, "1e-17 erg/s/cm2/A", "loglam-vector.fits", 1e-6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::ifstream in(dir / c.file, std::ios::binary);
    const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    const SpectrumReadResult r = ReadSpectrumFile(bytes, c.file, kDecoder);
    ASSERT_EQ(r.error, SpectrumReadError::None) << r.message;
    ASSERT_EQ(r.wavelength.size(), 300U);
    for (std::size_t i = 0; i < 300; i += 37) {
      EXPECT_NEAR(r.wavelength[i], c.wavelength(static_cast<double>(i)), c.tolerance);
      EXPECT_NEAR(r.flux[i], c.flux(static_cast<double>(i)), 1e-9);
    }
    EXPECT_EQ(r.fluxUnit, c.unit);
    EXPECT_EQ(r.name, c.name);
  }
  std::filesystem::remove_all(dir);
}

// ---- text ----

TEST(SpectrumReader, ReadsTextInItsUsualShapes) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<double> wavelength, flux;
    const char* unit = "";
  };
  const std::vector<Case> cases = {
      {"blank-separated", "5000 1.5\n5001.5 2\n5003\t-3e2\n", {5000, 5001.5, 5003}, {1.5, 2, -300}},
      {"comments, CR LF, a byte-order mark",
       "\xef\xbb\xbf# from a script\r\n\r\n5000, 1\r\n# a gap\r\n5001, 2\r\n", {5000, 5001}, {1, 2}},
      {"our CSV's three columns", "pixel,wavelength_angstrom,value\r\n1,6000,7\r\n2,5998,8\r\n", {6000, 5998},
       {7, 8}},
      {"header with units", "wavelength (nm), flux [Jy]\n500,1\n500.5,2\n", {5000, 5005}, {1, 2}, "Jy"},
      {"named columns in any order", "# flux wave_nm\n1 500\n2 501\n", {5000, 5010}, {1, 2}},
      {"log10 wavelengths", "loglam flux\n3 1\n4 2\n", {1000, 10000}, {1, 2}},
      {"NaN and infinite samples dropped", "5000 1\n5001 nan\ninf 3\n5002 4\n", {5000, 5002}, {1, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SpectrumReadResult r = Read(TextBytes(c.text));
    ASSERT_EQ(r.error, SpectrumReadError::None) << r.message;
    EXPECT_EQ(r.wavelength, c.wavelength);
    EXPECT_EQ(r.flux, c.flux);
    EXPECT_EQ(r.fluxUnit, c.unit);
    EXPECT_EQ(r.name, "star.dat");
  }
}

TEST(SpectrumReader, TextKeepsThePointUnderADecimalCommaLocale) {
  const char* const old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old != nullptr ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C.UTF-8");
  const SpectrumReadResult r = Read(TextBytes("5000.25 0.5\n5000.75 1.25\n"));
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(r.wavelength, (std::vector<double>{5000.25, 5000.75}));
  EXPECT_EQ(r.flux, (std::vector<double>{0.5, 1.25}));
}

// ---- refusals ----

class SpectrumRefusal : public ::testing::Test {
 protected:
  // A stand-in decoder: a shell script in a scratch folder.
  static std::string Script(const std::string& name, const std::string& body) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "lxr4-spectrum-reader-decoders";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / name;
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
    return path.string();
  }
};

TEST_F(SpectrumRefusal, EachRefusalSaysWhatIsWrong) {
  using E = SpectrumReadError;
  const Bytes linear = LinearImage({"CRVAL1  = 5000", "CDELT1  = 2"});
  const auto table = [](int rowBytes, const std::vector<std::string>& columns) {
    const std::size_t dataBytes = 3 * static_cast<std::size_t>(rowBytes);
    return Concatenated(EmptyPrimary(), Extension("BINTABLE", 8, {rowBytes, 3}, columns, dataBytes));
  };
  const Bytes wavelengthsOnly = table(8, {"TFIELDS = 1", "TTYPE1  = 'WAVELENGTH'", "TFORM1  = '1D'"});
  const Bytes unequalColumns =
      table(24, {"TFIELDS = 2", "TTYPE1  = 'WAVE'", "TFORM1  = '2D'", "TTYPE2  = 'FLUX'", "TFORM2  = '1D'"});
  struct Case {
    const char* name;
    Bytes bytes;
    E error;
    std::string message;  // between the file's name and " - not opened."; empty: not checked
    std::string decoder = kDecoder;
  };
  const std::vector<Case> cases = {
      {"no bytes", {}, E::Empty, " is empty"},
      {"binary bytes", {0x7f, 'E', 'L', 'F', 0, 1}, E::NotSpectrum,
       " is not a spectrum (a FITS spectrum, or columns of wavelengths and values)"},
      {"words only", TextBytes("Dear diary,\nno numbers here\n"), E::NotSpectrum, ""},
      {"FITS without data", Primary(8, {}), E::NotSpectrum, ""},
      {"FITS frame of 4 rows", Primary(8, {5, 4}, {}, 20), E::NotOneRow,
       " holds an image of more than one row, not a spectrum"},
      {"no CRVAL1", LinearImage({"CDELT1  = 2"}), E::NoWavelengthAxis,
       " has no wavelength axis (CRVAL1/CDELT1)"},
      {"a frequency axis", LinearImage({"CRVAL1  = 5000", "CDELT1  = 2", "CTYPE1  = 'FREQ'"}),
       E::NoWavelengthAxis, ""},
      {"uncalibrated CSV", WriteCsvSpectrum(Export(false)).bytes, E::NoWavelengthColumn,
       " has no wavelengths"},
      {"uncalibrated FITS table", WriteFitsTableSpectrum(Export(false)).bytes, E::NoWavelengthColumn, ""},
      {"one column of text", TextBytes("1\n2\n3\n"), E::NoWavelengthColumn, ""},
      {"table without a flux column", wavelengthsOnly, E::NoFluxColumn,
       " has wavelengths but no flux column"},
      {"flux column of another length", unequalColumns, E::NoFluxColumn, ""},
      {"one sample", TextBytes("5000 1\n"), E::TooFewSamples,
       " has fewer than 2 samples with a wavelength and a value"},
      {"one finite sample", TextBytes("5000 1\n5001 nan\n"), E::TooFewSamples, ""},
      {"zero wavelength", TextBytes("0 1\n1 2\n"), E::NonPositiveWavelength,
       " has wavelengths at or below zero or out of range"},
      {"axis through zero", LinearImage({"CRVAL1  = 5", "CDELT1  = -1"}), E::NonPositiveWavelength, ""},
      {"wavelength beyond a number once converted", TextBytes("wavelength (m),flux\n1e300,1\n2e300,2\n"),
       E::NonPositiveWavelength, ""},
      {"turning back", TextBytes("5000 1\n5002 1\n5001 1\n"), E::NotMonotonic,
       " has wavelengths that neither rise nor fall throughout"},
      {"repeated wavelength", TextBytes("5000 1\n5000 2\n"), E::NotMonotonic, ""},
      {"step 0", LinearImage({"CRVAL1  = 5000", "CDELT1  = 0"}), E::NotMonotonic, ""},
      {"unknown CUNIT1", LinearImage({"CRVAL1  = 5000", "CDELT1  = 2", "CUNIT1  = 'furlong'"}), E::BadUnit,
       " has a wavelength unit 'furlong' other than Angstrom, nm, um or m"},
      {"unknown unit in a text header", TextBytes("wavelength [Hz] flux\n1 2\n3 4\n"), E::BadUnit, ""},
      {"words among numbers", TextBytes("5000 1\n5001 2\n5002 x\n"), E::BadTextLine,
       " has a line that is not numbers (line 3)"},
      {"a short line", TextBytes("wave,flux\n5000,1\n5001\n"), E::BadTextLine, ""},
      {"a decimal comma", TextBytes("5000,5 1\n"), E::BadTextLine, ""},
      {"BSCALE 0", LinearImage({"BSCALE  = 0", "CRVAL1  = 5000", "CDELT1  = 2"}), E::FitsCorrupt,
       " is a damaged FITS file"},
      {"cut in its data", Bytes(linear.begin(), linear.begin() + 2890), E::FitsTruncated,
       " ends before its spectrum's data"},
      {"too many samples", LinearImage({"CRVAL1  = 5000", "CDELT1  = 2"}, 20'000'000), E::TooLarge,
       " is too large (more than 16777216 samples or 256 MB)"},
      {"no decoder", linear, E::FitsUnavailable,
       ": FITS support is unavailable (lxr4-fits-decoder is missing beside the program or cannot be started)",
       "/nonexistent/lxr4-fits-decoder"},
      {"decoder crashes", linear, E::DecoderFailed, " could not be decoded (the FITS decoder failed on it)",
       Script("crash", "kill -SEGV $$")},
      {"decoder answers a frame", linear, E::DecoderFailed, "", Script("frame", "exec " + kDecoder)},
      {"decoder answers zeros", linear, E::DecoderFailed, "",
       Script("zeros", "cat >/dev/null; printf LXR4SPC1; head -c 496 /dev/zero")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SpectrumReadResult r = Read(c.bytes, c.decoder);
    EXPECT_EQ(r.error, c.error);
    if (!c.message.empty()) {
      EXPECT_EQ(r.message, "star.dat" + c.message + " - not opened.");
    }
    EXPECT_TRUE(r.message.starts_with("star.dat")) << r.message;
    EXPECT_TRUE(r.wavelength.empty() && r.flux.empty());
  }
}

// The head of a spectrum answer, bent one field at a time, is out of form.
TEST(SpectrumAnswer, HeadsOutOfFormAreRefused) {
  FitsSpectrumResult sound;
  sound.spectrum.table = false;
  sound.spectrum.crval1 = 5000;
  sound.spectrum.cdelt1 = 2;
  sound.spectrum.waveUnit = "nm";
  sound.spectrum.flux.assign(10, 1.0);
  const Bytes head = SpectrumAnswerHead(sound);
  const auto read = ReadSpectrumAnswerHead(head);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->spectrum.crval1, 5000);
  EXPECT_FALSE(read->spectrum.cd11.has_value());
  EXPECT_EQ(read->spectrum.waveUnit, "nm");
  EXPECT_EQ(read->spectrum.flux.size(), 10U);

  const auto bent = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
    Bytes b = head;
    std::copy(bytes.begin(), bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  const double nan = std::nan("");
  std::vector<std::uint8_t> nanBytes(8);
  std::memcpy(nanBytes.data(), &nan, 8);
  struct Case {
    const char* name;
    Bytes head;
  };
  const std::vector<Case> cases = {
      {"wrong mark", bent(0, {'L', 'X', 'R', '4', 'F', 'I', 'T', '1'})},
      {"unknown error", bent(8, {99})},
      {"refusal with more", bent(8, {2})},
      {"unknown kind", bent(12, {2})},
      {"no samples in an image", bent(16, {0})},
      {"beyond the sample limit", bent(16, {0, 0, 0, 2})},
      {"unknown key flag", bent(24, {0x23})},
      {"NaN key", bent(32, nanBytes)},
      {"value of an absent key", bent(48, {1})},
      {"unprintable text", bent(432, {7})},
      {"text without its end", bent(72, Bytes(72, 'A'))},
      {"a column named for an image", bent(144, {'F'})},
      {"short head", Bytes(head.begin(), head.end() - 1)},
  };
  for (const Case& c : cases) EXPECT_FALSE(ReadSpectrumAnswerHead(c.head).has_value()) << c.name;
  FitsSpectrumResult table;
  table.spectrum.table = true;
  table.spectrum.waveColumn = "WAVE";
  table.spectrum.flux.assign(3, 1.0);  // samples without a flux column
  EXPECT_FALSE(ReadSpectrumAnswerHead(SpectrumAnswerHead(table)).has_value());
}

}  // namespace
}  // namespace lxr4
