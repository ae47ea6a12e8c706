// Where the overview's columns (the 768-column grid the main window shows)
// lie on the detector. A FITS frame is extracted at the detector's own pixels
// as well, and its calibration counts those; a camera image is its own
// detector, so for it a column and a pixel are the same number.
#pragma once

#include <algorithm>

namespace lxr4 {

// Column c covers detector pixels first + (c - 1) x bin .. first + c x bin - 1,
// of `length` pixels in all, counted from 1 as FITS counts.
struct DetectorMap {
  bool frame = false;  // an imported FITS frame; false: a camera image
  int first = 1, bin = 1, length = 0;
  bool alongColumns = false;  // a frame's dispersion runs along its columns (else its rows)

  friend bool operator==(const DetectorMap&, const DetectorMap&) = default;
};

// The position of overview column `column` (fractional) in detector pixels:
// the middle of the pixels it covers.
[[nodiscard]] inline double ColumnPosition(const DetectorMap& m, double column) {
  if (!m.frame) return column;
  return m.first + (column - 1) * m.bin + (m.bin - 1) / 2.0;
}

// The detector pixel at the middle of a whole column (the lower of two middles).
[[nodiscard]] inline int ColumnCentrePixel(const DetectorMap& m, int column) {
  if (!m.frame) return column;
  return m.first + (column - 1) * m.bin + (m.bin - 1) / 2;
}

// The overview column holding detector pixel `pixel`, within 1..columns.
[[nodiscard]] inline int ColumnOfPixel(const DetectorMap& m, int pixel, int columns) {
  if (!m.frame) return std::clamp(pixel, 1, std::max(columns, 1));
  const int offset = pixel - m.first;
  const int column = (offset >= 0 ? offset / m.bin : -((-offset + m.bin - 1) / m.bin)) + 1;
  return std::clamp(column, 1, std::max(columns, 1));
}

}  // namespace lxr4
