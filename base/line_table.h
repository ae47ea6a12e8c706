// The Lines and Residuals table as the window shows it: one row of texts per
// line of the calibration, and a summary of the last fit. The program makes
// the texts (calibration/line_table_text.h), so both windows show the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lxr4 {

struct LineTableRow {
  std::string wavelength, label, centroid, fitted, residual, residualPixels;
  bool used = true;

  friend bool operator==(const LineTableRow&, const LineTableRow&) = default;
};

struct LineTable {
  std::vector<LineTableRow> rows;
  std::string summary;  // "Grating: rms 0.123 A, 12 of 14 lines used", or "No fit yet"

  friend bool operator==(const LineTable&, const LineTable&) = default;
};

// What the user did in the table: ticked or cleared a row's "used" box,
// removed the selected rows (one or more), or cleared the whole table. Rows
// count from 0.
struct LineTableEdit {
  enum class Kind : std::uint8_t { Used, Remove, Clear } kind = Kind::Used;
  int row = 0;            // Used: the row ticked or cleared
  bool used = true;       // Used: its new tick
  std::vector<int> rows;  // Remove: the rows removed, in any order
};

}  // namespace lxr4
