#include "calibration/line_set.h"

#include <cmath>

#include "base/grid.h"

namespace lxr4 {

AddLineError AddLine(LineSet& lines, const CalibrationLine& line, int pixels) {
  if (!(line.wavelength >= kMinLineWavelength && line.wavelength <= kMaxLineWavelength) ||
      !(line.column >= 1 && line.column <= static_cast<float>(pixels)))
    return AddLineError::BadLine;
  for (const CalibrationLine& l : lines) {
    if (l.wavelength == line.wavelength) return AddLineError::SameWavelength;
    // Two catalogue lines cannot share one centroid.
    if (std::fabs(l.column - line.column) < 1.0f) return AddLineError::SameColumn;
  }
  lines.push_back(line);
  return AddLineError::None;
}

}  // namespace lxr4
