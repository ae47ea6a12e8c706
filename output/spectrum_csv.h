// The CSV file of File > Export Spectrum...: pure text, the same in every
// locale. The handler in spectrum_export.cpp writes it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lxr4 {

// A header line, then one line per column from 1: the pixel number, the
// wavelength in Angstroms (only when `wavelengths` is not empty; entry i is
// column i + 1) and the value, separated by commas and ended by a line feed.
// Wavelengths are written with '.' as decimal separator and the fewest digits
// that read back to the same single value ("6402.246"), values as integers.
// The header names the columns: "pixel,wavelength_angstrom,value" or
// "pixel,value".
[[nodiscard]] std::string SpectrumCsv(std::span<const std::int32_t> values,
                                      std::span<const float> wavelengths);

}  // namespace lxr4
