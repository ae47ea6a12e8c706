// The FITS frame reader: a camera frame as a FITS file (plain, gzip-compressed,
// or tile-compressed with the image in an extension) in, the first image plane
// as floating values out. Works on the file's bytes only, through cfitsio's
// memory files; nothing of cfitsio outlives a call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lxr4 {

// Limits of a frame the program takes: each side at most 65536 pixels and the
// plane at most 64 Mi pixels (256 MB as floats).
inline constexpr long long kMaxFrameSide = 65536;
inline constexpr long long kMaxFramePixels = 64LL << 20;
// A gzip-compressed file may expand to at most this many bytes.
inline constexpr std::size_t kMaxInflatedBytes = std::size_t{1} << 30;

enum class FitsError : std::uint8_t {
  None,
  NotFits,        // neither a FITS file nor a gzip-compressed one
  Corrupt,        // cfitsio refused the header or the data (bad BITPIX, bad keywords, bad tiles)
  NoImage,        // no HDU with image data
  BadAxes,        // NAXIS other than 2 or 3, a side below 1 (or below 2 across the first axis)
  TooLarge,       // beyond the limits above
  Truncated,      // the file ends before the plane's data
  NoValidPixels,  // every pixel is NaN, infinite or undefined (BLANK)
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
};

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

struct FitsReadResult {
  FitsError error = FitsError::None;
  FitsFrame frame;  // filled only when error is None
};

// True when the bytes are a FITS file or a gzip-compressed one: they start with
// the card "SIMPLE  =", or with the gzip signature and inflate to such a start.
// Decided by contents only, never by a file name.
[[nodiscard]] bool LooksLikeFits(std::span<const std::uint8_t> file);

// Reads the primary image, or when the primary HDU has no data, the first image
// extension (a tile-compressed image counts). NAXIS 3 takes the first plane.
// Checks the sizes against the limits and that the plane's data is present
// before anything of that size is allocated. Never throws.
[[nodiscard]] FitsReadResult ReadFitsFrame(std::span<const std::uint8_t> file);

}  // namespace lxr4
