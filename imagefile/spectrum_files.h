// Standard spectrum files from the graphed spectrum: FITS with a linear
// wavelength axis, a FITS binary table, and CSV. Pure: the caller gives the
// values, the wavelength of each column (none before a calibration) and the
// facts for the headers, and gets the file's bytes or an error.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lxr4 {

struct SpectrumFacts {
  std::string object;                    // OBJECT, when the source had it
  std::string dateObs;                   // DATE-OBS, when the source had it
  std::optional<double> exposure;        // EXPTIME in seconds, when the source had it
  std::vector<std::string> sourceFiles;  // the loaded images' paths
  std::string calibration;  // the calibration used, model and parameters as text; empty before one
  std::string program;      // the program's name and version
};

struct SpectrumExport {
  std::vector<double> values;  // columns 1..N: values[0] is column 1
  // Angstrom at a column (from 1); empty before a calibration.
  std::function<double(int column)> wavelength;
  SpectrumFacts facts;
};

enum class SpectrumFileError : std::uint8_t {
  None,
  NoCalibration,     // the linear wavelength axis needs a calibration
  Empty,             // fewer than 2 columns
  NotMonotonic,      // wavelengths that neither rise nor fall from column to column
  CannotBuild,       // cfitsio failed to build the file
};

struct SpectrumFile {
  SpectrumFileError error = SpectrumFileError::None;
  std::vector<std::uint8_t> bytes;
};

// FITS, one float32 axis resampled linearly onto N wavelengths rising evenly
// from the smallest to the largest of the columns' (CRVAL1, CDELT1, CRPIX1 1,
// CTYPE1 'WAVE', CUNIT1 'Angstrom'). Refused before a calibration.
[[nodiscard]] SpectrumFile WriteLinearFitsSpectrum(const SpectrumExport& spectrum);

// FITS binary table, one row per column: PIXEL, WAVELENGTH (Angstrom, double;
// left out before a calibration), VALUE.
[[nodiscard]] SpectrumFile WriteFitsTableSpectrum(const SpectrumExport& spectrum);

// CSV: a header line, then "pixel,wavelength,value" per column ("pixel,value"
// before a calibration); '.' as the decimal separator whatever the locale; CR LF ends.
// Numbers with the fewest digits that read back to the same value (at single
// precision for a value that is a single).
[[nodiscard]] SpectrumFile WriteCsvSpectrum(const SpectrumExport& spectrum);

}  // namespace lxr4
