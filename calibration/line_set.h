// The calibration's lines: every line the user marked or Identify Lines found,
// each with its catalogue wavelength and measured centroid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lxr4 {

struct CalibrationLine {
  double wavelength = 0;  // Angstroms, as the line list or the user gives it
  float column = 0;       // the centroid, a fractional column from 1
  std::string label;      // "Ne", "Hg I", ... (may be empty)
  bool used = true;       // the user's choice: a line not used stays in the table, out of the fits

  friend bool operator==(const CalibrationLine&, const CalibrationLine&) = default;
};

using LineSet = std::vector<CalibrationLine>;

enum class AddLineError : std::uint8_t {
  None,
  BadLine,         // the wavelength is not above 0, or a number is not finite
  SameWavelength,  // a line of this wavelength is in the set already
  SameColumn,      // a line lies within a pixel of this centroid already
};

// Appends `line` unless the set has it already; the set is unchanged on error.
[[nodiscard]] AddLineError AddLine(LineSet& lines, const CalibrationLine& line);

}  // namespace lxr4
