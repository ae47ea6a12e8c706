// The calibration file: a small text file with the instrument settings, the
// fitted model with its parameters, and the lines it was fitted to, so that a
// night's frames can be reduced with one lamp. Works on text only; reading and
// writing the file is the platform's job.
//
//   LXR4 calibration 1
//   groove_density 300
//   deviation_angle 30
//   reference_column 381
//   correction on
//   pixel_size none            (or micrometres: the override of the settings)
//   model grating              (or: polynomial)
//   pixel_width 9              (grating: micrometres the model used)
//   focal_length 53.71069      (grating, mm)
//   alpha_angle 9.75531        (grating, degrees)
//   theta_zero_column 381      (grating: the reference column in force, fitted or not)
//   orientation ascending      (grating: or descending)
//   order 3                    (polynomial, 1..4)
//   centre 384.5               (polynomial: wavelength = sum c_k t^k,
//   scale 380.2                 t = (column - centre) / scale)
//   coefficients 5850.1 790.3 1.2 -0.05
//   line 5460.735 100.713 used Hg I     (wavelength, centroid, used/unused, label)
//
// and, when the calibration keeps the lamp it was made on (lamp_frame.h):
//
//   lamp_file neon 2026-03-01.fits     (the file's name, the rest of the line; left out when empty)
//   lamp_detector 3072 1 1 rows        (pixels, first frame pixel, bin, axis: rows, columns,
//                                       or - for a camera image; the pixels the calibration counts)
//   lamp_arc 512.5 530 611.25 ...      (the spectrum at pixels 1, 2, ..., 16 values a line,
//   lamp_arc ...                        the lines in order)
//
// Numbers are written with the fewest digits that read back exactly, with a
// decimal point whatever the user's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"
#include "calibration/lamp_frame.h"
#include "calibration/line_fit.h"

namespace lxr4 {

struct CalibrationFile {
  InstrumentSettings settings;    // for a grating model, the model's own (calibration.grating.settings)
  FittedCalibration calibration;  // the model in force
  LineSet lines;
  std::optional<LampFrame> lamp = {};  // the lamp the calibration was made on, when it was kept
};

[[nodiscard]] std::string FormatCalibrationFile(const CalibrationFile& file);

enum class CalibrationFileError : std::uint8_t {
  None,
  NotACalibration,  // the first line is not "LXR4 calibration 1"
  BadLine,          // a line with an unknown key, a second copy of a key, or a bad value
  Missing,          // a value the model needs is not there, or not a number
  OutOfRange,       // a value the Instrument dialog or Add Line would refuse
  NoWavelength,     // the model gives no wavelength above 0 at some column of the detector
};

// On an error, the message names the line or the key.
struct CalibrationFileRead {
  CalibrationFile file;
};
using CalibrationFileResult = Result<CalibrationFileError, CalibrationFileRead>;

// Parses a calibration file; any fault refuses the whole file. The file
// passes the checks of the Instrument dialog (GratingValueProblem, for the
// model's own values too) and of Add Line (AddLine, and centroids on columns
// 1 to 768); a label is the rest of its line after "used" or "unused". A
// lamp frame is refused when its lamp_detector is missing or malformed, its
// length is outside 2..65536 or not the calibration's detector pixels, its
// first pixel or bin is below 1, or its arc holds a value that is not a
// finite number or has not one value per pixel.
[[nodiscard]] CalibrationFileResult ParseCalibrationFile(std::string_view text);

}  // namespace lxr4
