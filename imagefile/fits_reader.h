// The FITS frame reader: a camera frame as a FITS file (plain, gzip-compressed,
// or tile-compressed with the image in an extension) in, the first image plane
// as floating values out. The file's bytes are untrusted: cfitsio decodes them
// in a short-lived process of its own, the decoder (imagefile/decoder), with a
// memory, CPU-time and wall-clock limit, and hands back the frame in a fixed
// format (imagefile/fits_answer.h) that is checked here like any file. A
// decoder that crashes, hangs or runs out of memory is a refused file. The
// same decoder hands back a 1-D spectrum (ReadFitsSpectrum) for the spectrum
// reader (imagefile/spectrum_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace lxr4 {

// Limits of a frame the program takes: each side at most 65536 pixels and the
// plane at most 64 Mi pixels (256 MB as floats).
inline constexpr long long kMaxFrameSide = 65536;
inline constexpr long long kMaxFramePixels = 64LL << 20;
// The bytes a file (inflated, when gzip-compressed) may need up to the end of
// the frame's data: the largest frame as doubles and room for its headers. A
// file whose headers say it needs more is refused; nothing beyond the frame's
// data is read or inflated.
inline constexpr std::size_t kMaxFitsBytes = std::size_t{576} << 20;
// Limits of a 1-D spectrum: at most 16 Mi samples, in a file that needs at
// most 256 MiB up to the end of the spectrum's HDU.
inline constexpr long long kMaxSpectrumSamples = 16LL << 20;
inline constexpr std::size_t kMaxSpectrumFitsBytes = std::size_t{256} << 20;

enum class FitsError : std::uint8_t {
  None,
  NotFits,        // neither a FITS file nor a gzip-compressed one
  Corrupt,        // cfitsio refused the header or the data (bad BITPIX, bad keywords, bad tiles)
  NoImage,        // no HDU with image data
  BadAxes,        // NAXIS other than 2 or 3, a side below 1 (or below 2 across the first axis)
  TooLarge,       // beyond the limits above
  Truncated,      // the file ends before the plane's data
  NoValidPixels,  // every pixel is NaN, infinite or undefined (BLANK)
  BadScale,       // BSCALE or BZERO is not a finite number, or BSCALE is 0 or denormal
  DecoderFailed,  // the decoder crashed, overran its time or memory, or answered out of form
  Unavailable,    // no FITS support: the decoder is missing or cannot be started
};

// What the header says that the import and the exports use; empty or nullopt when absent.
struct FitsFacts {
  std::string object;   // OBJECT
  std::string dateObs;  // DATE-OBS as written (may hold the time after a "T")
  std::string timeObs;  // TIME-OBS or UT, when DATE-OBS has no time
  std::optional<double> exposure;  // EXPTIME or EXPOSURE, seconds
  // Pixel size in micrometres along the first and the second axis
  // (XPIXSZ/YPIXSZ, PIXSIZE1/PIXSIZE2, XPIXELSZ/YPIXELSZ).
  std::optional<double> pixelSizeX, pixelSizeY;
  // Where the telescope pointed and where it stood, as the header wrote them
  // (a number of degrees or a sexagesimal text), for the barycentric
  // correction: the first pair of keys the header has both of (RA/DEC,
  // OBJCTRA/OBJCTDEC, TELRA/TELDEC; the site's latitude and longitude
  // SITELAT/SITELONG, LAT-OBS/LONG-OBS, LATITUDE/LONGITUD, OBSGEO-B/OBSGEO-L,
  // with the height of the same family: SITEELEV, ALT-OBS, OBSGEO-H, none
  // beside LATITUDE, whose ALTITUDE is a telescope's pointing). Each holds at
  // most kMaxCoordinateText printable characters; a longer or unprintable one
  // counts as absent.
  std::string ra, dec;
  std::string latitude, longitude, height;
  // The frame's part in a night's reduction, as the header wrote them (blanks
  // around taken off; at most kMaxReductionText printable characters, else
  // absent): the image type (IMAGETYP, else OBSTYPE), the overscan and trim sections
  // (BIASSEC, TRIMSEC), and the binning (XBINNING, YBINNING, else CCDXBIN, CCDYBIN).
  std::string imageType, biasSection, trimSection;
  std::optional<double> binX, binY;
};

inline constexpr std::size_t kMaxReductionText = 64;

inline constexpr std::size_t kMaxCoordinateText = 32;

struct FitsFrame {
  int width = 0;   // NAXIS1: values per row
  int height = 0;  // NAXIS2: rows
  // width x height values, row by row, scaled by BZERO/BSCALE; NaN, infinite and
  // undefined pixels are 0.
  std::vector<float> values;
  int bitpix = 0;
  bool tileCompressed = false;
  bool gzipped = false;
  FitsFacts facts;

  [[nodiscard]] float at(int x, int y) const {
    return values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

struct FitsFrameRead {
  FitsFrame frame;  // filled only when error is None
};
using FitsReadResult = Result<FitsError, FitsFrameRead>;

// True when the bytes are a FITS file or a gzip-compressed one: they start with
// the card "SIMPLE  =", or with the gzip signature and inflate to such a start.
// Decided by contents only, never by a file name.
[[nodiscard]] bool LooksLikeFits(std::span<const std::uint8_t> file);

// Reads the primary image, or when the primary HDU has no data, the first image
// extension (a tile-compressed image counts; fits_layout.h says what is
// refused before cfitsio sees the file). NAXIS 3 takes the first plane. Runs
// `decoder` (the path of lxr4-fits-decoder) on the bytes and waits at most a
// couple of seconds (more for a large file); never throws.
[[nodiscard]] FitsReadResult ReadFitsFrame(std::span<const std::uint8_t> file, const std::string& decoder);

// The decoder installed beside the running program (/proc/self/exe).
[[nodiscard]] std::string FitsDecoderBesideProgram();

// A 1-D spectrum as the FITS file holds it, before any unit or axis is
// interpreted (imagefile/spectrum_reader.h does that).
struct FitsSpectrum {
  bool table = false;  // from a binary table's columns, else from a 1-D image
  // An image's axis keys, when present (finite): CRVAL1, CDELT1, CD1_1, CRPIX1, DC-FLAG.
  std::optional<double> crval1, cdelt1, cd11, crpix1, dcFlag;
  std::string ctype1;      // an image's CTYPE1
  std::string waveColumn;  // a table's wavelength column (TTYPEn as written); empty when none matched
  std::string fluxColumn;  // a table's flux column; empty when none matched
  std::string waveUnit;    // CUNIT1, or the wavelength column's TUNITn
  std::string fluxUnit;    // BUNIT, or the flux column's TUNITn
  std::string object;      // OBJECT of the spectrum's HDU or the primary one
  std::vector<double> wavelength;  // a table's wavelengths, one per flux (empty for an image)
  std::vector<double> flux;        // scaled values; NaN where undefined
};

struct FitsSpectrumRead {
  FitsSpectrum spectrum;  // filled only when error is None
};
using FitsSpectrumResult = Result<FitsError, FitsSpectrumRead>;

// Reads the first 1-D spectrum of the file (fits_layout.h, FitsTarget::Spectrum)
// through the decoder, as ReadFitsFrame does a frame. A table's wavelength and
// flux columns are those the decoder finds by name (spectrum_columns.h); when
// either is missing its name is empty and no values come. BadAxes for an image
// of more than one row; TooLarge beyond the spectrum limits above.
[[nodiscard]] FitsSpectrumResult ReadFitsSpectrum(std::span<const std::uint8_t> file, const std::string& decoder);

// The argument that asks the decoder for a spectrum rather than a frame.
inline constexpr const char* kFitsDecoderSpectrumMode = "spectrum";

// The program name of the decoder.
inline constexpr const char* kFitsDecoderName = "lxr4-fits-decoder";

}  // namespace lxr4
