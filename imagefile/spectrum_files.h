// Standard spectrum files from the graphed spectrum: FITS with a linear
// wavelength axis, a FITS binary table, and CSV. Pure: the caller gives the
// values, the wavelength of each column (none before a calibration) and the
// facts for the headers, and gets the file's bytes or an error. The facts say
// what the wavelengths and values are when they are not the program's plain
// ones (Angstrom in air, unshifted, not normalised); with those, nothing is
// said beyond what the files always said.
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
  std::optional<double> exposure;        // EXPTIME in seconds, when the source had it (a stack's: the sum)
  int combined = 0;                      // NCOMBINE: the frames stacked into the source, when above 1
  std::vector<std::string> sourceFiles;  // the loaded images' paths
  std::string calibration;  // the calibration used, model and parameters as text; empty before one
  std::string program;      // the program's name and version

  // The wavelengths' frame and the values' kind, as the caller chose them.
  bool nanometres = false;  // wavelengths in nm (CUNIT1, TUNIT, the CSV's column name); else Angstrom
  bool vacuum = false;      // wavelengths in vacuum: AIRORVAC = 'vac'; else air, said by no key
  double shiftKms = 0;      // in the rest frame of a source at this velocity (km/s): VELSHIFT when not 0
  bool normalised = false;  // values divided by their continuum: no unit, CONTNORM = T
  bool relativeFlux = false;  // values divided by the instrument response: relative flux, FLUXCAL = 'RELATIVE'
};

struct SpectrumExport {
  std::vector<double> values;  // columns 1..N: values[0] is column 1
  // The pixel the first value is of, as the table and CSV number them: above 1
  // when the pixels before it were left out (beyond an instrument response).
  int firstPixel = 1;
  // The wavelength at a column (from 1), in the facts' units and frame; empty
  // before a calibration.
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
// CTYPE1 'WAVE', CUNIT1 'Angstrom' or 'nm', BUNIT 'adu' or '' when
// normalised). Refused before a calibration.
[[nodiscard]] SpectrumFile WriteLinearFitsSpectrum(const SpectrumExport& spectrum);

// FITS binary table, one row per column: PIXEL, WAVELENGTH (Angstrom or nm,
// double; left out before a calibration), VALUE (adu; no unit when normalised).
// Both headers carry the facts' keys.
[[nodiscard]] SpectrumFile WriteFitsTableSpectrum(const SpectrumExport& spectrum);

// CSV: a header line, then "pixel,wavelength,value" per column ("pixel,value"
// before a calibration); '.' as the decimal separator whatever the locale; CR LF ends.
// The header names the wavelength's unit (last), and its medium and rest frame
// when not air and unshifted ("wavelength_vacuum_rest_30kms_nm"), and the
// values when normalised ("normalised_value").
// Numbers with the fewest digits that read back to the same value (at single
// precision for a value that is a single).
[[nodiscard]] SpectrumFile WriteCsvSpectrum(const SpectrumExport& spectrum);

}  // namespace lxr4
