// The Measurements table as the window shows it: a row of texts for each line
// measured in the Spectrum view, under fixed column headings. The program
// makes the texts, so both windows show the same.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lxr4 {

inline constexpr std::array<std::string_view, 16> kMeasurementColumns = {
    "Centre (\u00c5)", "\u00b1",   "Centroid (\u00c5)", "FWHM (\u00c5)", "\u00b1",  "EW (\u00c5)",
    "\u00b1",          "Flux",     "\u00b1",            "Peak",          "SNR",     "Rest (\u00c5)",
    "RV (km/s)",       "\u00b1",   "Barycentric (km/s)", "Profile"};

struct MeasurementTable {
  std::vector<std::vector<std::string>> rows;  // each kMeasurementColumns.size() texts
  std::string summary;  // under the table: how the velocities were corrected, or what is missing

  friend bool operator==(const MeasurementTable&, const MeasurementTable&) = default;
};

// What the user did in the table: removed the selected rows (from 0, any
// order), or cleared it.
struct MeasurementTableEdit {
  enum class Kind : std::uint8_t { Remove, Clear } kind = Kind::Remove;
  std::vector<int> rows;
};

}  // namespace lxr4
