// The lamp frame a calibration was made on: which file, the detector's
// geometry (pixels along the dispersion, the first pixel and the bin of an
// imported FITS frame) and the lamp spectrum itself, so that the calibration
// can be carried to another night's lamp (arc_shift.h). Pure values.
#pragma once

#include <string>
#include <string_view>

#include "base/lamp_frame.h"

namespace lxr4 {

// Whether a frame of `length` pixels from frame pixel `first`, binned by
// `bin`, counts the same detector pixels as the lamp frame: the calibration
// then holds pixel for pixel.
[[nodiscard]] bool SameGeometry(const LampFrame& lamp, int length, int first, int bin);

// A frame in words: "a camera image of 768 columns" (axis ""), or "a frame
// of 3072 pixels along its rows (from pixel 1, bin 1)".
[[nodiscard]] std::string DescribeGeometry(int length, int first, int bin, std::string_view axis);

// The warning shown when a calibration is used on a frame of another
// geometry: "This calibration was made on a frame of 3072 pixels along its
// rows (from pixel 1, bin 1); this is a frame of 512 pixels along its
// rows (from pixel 1, bin 1)."
[[nodiscard]] std::string GeometryWarning(const LampFrame& lamp, int length, int first, int bin,
                                          std::string_view axis);

}  // namespace lxr4
