// Turning a FITS frame into a camera image: the dispersion axis, a 20-row swath
// on the brightest trace, columns binned (or a window) to at most 768, values
// scaled into the camera's 0..32767, and a header block in the camera image's
// own format. The result is the bytes of a camera image file in the
// uncompressed layout, which the camera image reader takes like any other, so
// every later step works on an imported frame as on a camera image.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "imagefile/fits_reader.h"

namespace lxr4 {

// Along which of the frame's directions the wavelength changes.
enum class DispersionAxis : std::uint8_t {
  Auto,     // decided by FindDispersionAxis
  Rows,     // along each row: from column to column (the frame's first axis, NAXIS1)
  Columns,  // along each column: from row to row (NAXIS2); the frame is turned
};

struct ImportOptions {
  DispersionAxis axis = DispersionAxis::Auto;
  // Full resolution: the first frame pixel (from 1, along the dispersion) of a
  // window of 768 pixels, moved inside the frame when it would reach past its
  // end. nullopt: the whole length, binned.
  std::optional<int> windowStart;
  // Micrometres per frame pixel when the header gives no pixel size.
  double defaultPixelSize = 9.0;
  // A swath centred on this position across the dispersion (frame pixels from
  // 0, a traced object's centre), each of its rows the sum of `swathBin` frame
  // rows, so that the aperture and the sky bands fit on the image; none: the
  // 20 rows on the brightest trace.
  std::optional<double> swathCentre;
  int swathBin = 1;
};

// How the image's values relate to the frame's: value = offset + stored / factor,
// where value is the sum of the frame pixels binned into one image pixel.
struct ValueScale {
  double offset = 0;
  double factor = 1;
  friend bool operator==(const ValueScale&, const ValueScale&) = default;
};

// A spectrum value in the frame's own units. `rowsSummed` is the number of image
// rows whose values the spectrum value adds up: the crop height for the
// calibration spectrum, 20 for the object spectrum (scaled to 20 rows), 0 for an
// object spectrum with the sky filtered out (the offset cancels).
[[nodiscard]] double FrameValue(const ValueScale& scale, double spectrumValue, double rowsSummed);

struct FrameImport {
  bool ok = false;                  // false: the frame is shorter than 2 pixels along the dispersion
  std::vector<std::uint8_t> file;   // the camera image file (header block and pixel rows)
  DispersionAxis axis = DispersionAxis::Rows;  // as taken (never Auto)
  int firstRow = 0, lastRow = 0;    // the swath across the dispersion, frame pixels from 1
  int rowBin = 1;                   // frame pixels across summed into one image row
  int firstPixel = 0, lastPixel = 0;  // the frame pixels along the dispersion that were taken, from 1
  int bin = 1;                      // frame pixels summed into one image column
  int width = 0, height = 0;        // of the camera image
  ValueScale scale;
  // The swath at the detector's own pixels: `height` rows (each of rowBin frame rows) of `length` values
  // (every pixel along the dispersion, from 1), in the frame's units, row by row.
  int length = 0;
  std::vector<float> swath;
  std::string description;  // "FITS 1030x1030, rows 498-517, bin 2, dispersion along rows"
};

// The dispersion axis of a frame: the axis whose collapsed profile has more
// prominent peaks (lines, or the ups and downs of a continuum), where the trace
// or the lit slit across the dispersion is one peak or plateau; on a tie the
// axis whose profile is broader (a point source's trace is narrow across it);
// on a tie of both, Rows.
[[nodiscard]] DispersionAxis FindDispersionAxis(const FitsFrame& frame);

[[nodiscard]] FrameImport ImportFrame(const FitsFrame& frame, const ImportOptions& options);

// A FITS file's bytes read (through `decoder`, see ReadFitsFrame) and imported;
// not ok when the reader refuses the file (`error` then says why) or the frame
// cannot become an image.
struct FitsFileImport {
  FitsError error = FitsError::None;
  FrameImport image;
};
[[nodiscard]] FitsFileImport ImportFitsFile(std::span<const std::uint8_t> file, const ImportOptions& options,
                                            const std::string& decoder);

// What an import leaves in the header block beyond the camera's own keys, for the
// exports: nullopt scale when the block is not of an imported frame.
struct ImportNotes {
  std::optional<ValueScale> scale;
  std::string source;    // the description
  std::string object;    // OBJECT
  std::string dateObs;   // DATE-OBS as the frame gave it
  std::optional<double> exposure;  // EXPTIME, seconds
  // The target and the site as the frame's header wrote them (FitsFacts);
  // empty when absent. Texts only: ReadObservation (measure/) checks them.
  std::string ra, dec;
  std::string latitude, longitude, height;
};
[[nodiscard]] ImportNotes ReadImportNotes(std::span<const std::uint8_t> headerBlock);

}  // namespace lxr4
