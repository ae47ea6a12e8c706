// Reading a 1-D spectrum from a file's bytes (File > Open Spectrum): the
// program's own exports (imagefile/spectrum_files.h), FITS images with a linear
// or log-linear wavelength axis, FITS binary tables with a wavelength and a
// flux column, and text of two or three columns of numbers. Pure code on
// bytes, but for the FITS decoder process (imagefile/fits_reader.h) that FITS
// files go through. The format is decided by the bytes, never by the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace lxr4 {

struct OpenedSpectrum {
  // Angstrom (converted from nm, um, m, ...), one per sample, finite, above 0,
  // strictly rising or strictly falling.
  std::vector<double> wavelength;
  std::vector<double> flux;  // finite: samples whose flux or wavelength is NaN or infinite are dropped
  std::string fluxUnit;      // as the file says (BUNIT, TUNITn, a text header's unit); may be empty
  std::string name;          // OBJECT, or the file's name
};

enum class SpectrumReadError : std::uint8_t {
  None,
  Empty,                  // no bytes
  NotSpectrum,            // no FITS spectrum HDU, or not text of numbers
  NotOneRow,              // a FITS image of more than one row
  NoWavelengthAxis,       // a FITS image without CRVAL1 and CDELT1 (or CD1_1), or not a wavelength axis
  NoWavelengthColumn,     // a table or text without wavelengths (a CSV written before a calibration)
  NoFluxColumn,           // a table with wavelengths but no flux column
  TooFewSamples,          // fewer than 2 samples with a finite wavelength and flux
  NonPositiveWavelength,  // a wavelength at or below 0 (or beyond a number once converted)
  NotMonotonic,           // wavelengths that neither strictly rise nor strictly fall
  BadUnit,                // a wavelength unit other than Angstrom, nm, um or m (and their spellings)
  BadTextLine,            // a line of text among the numbers that is not numbers
  FitsCorrupt,            // the decoder refused the FITS file's header or data
  FitsTruncated,          // the FITS file ends before the spectrum's data
  DecoderFailed,          // the decoder crashed, overran its limits or answered out of form
  FitsUnavailable,        // the decoder is missing or cannot be started
  TooLarge,               // beyond kMaxSpectrumSamples samples or kMaxSpectrumFileBytes
};

// Text at most this long (and FITS up to the spectrum's data: kMaxSpectrumFitsBytes).
inline constexpr std::size_t kMaxSpectrumFileBytes = std::size_t{256} << 20;

// The spectrum's fields are empty unless error is None.
using SpectrumReadResult = Result<SpectrumReadError, OpenedSpectrum>;

// Reads the spectrum in `bytes`. `fileName` is used only for the messages and
// as the name when the file has no OBJECT; `decoder` is the path of
// lxr4-fits-decoder (FitsDecoderBesideProgram()). On a refusal, `message` holds
// SpectrumReadMessage's text (with the line of a BadTextLine, the unit of a
// BadUnit). Never throws.
[[nodiscard]] SpectrumReadResult ReadSpectrumFile(std::span<const std::uint8_t> bytes,
                                                  const std::string& fileName, const std::string& decoder);

// The message for a refusal, naming the file and what is wrong, e.g.
// "star.fits has no wavelength axis (CRVAL1/CDELT1) - not opened."; `detail`
// is the line number of a BadTextLine or the unit of a BadUnit, when known.
[[nodiscard]] std::string SpectrumReadMessage(SpectrumReadError error, const std::string& fileName,
                                              std::string_view detail = {});

}  // namespace lxr4
