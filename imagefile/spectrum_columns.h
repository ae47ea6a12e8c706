// Which column of a FITS table holds a spectrum's wavelengths and which its
// flux, by the names tables are written with. Pure; used by the decoder to
// pick the columns and by the reader to know a column of log10 wavelengths.
#pragma once

#include <cstdint>
#include <string_view>

namespace lxr4 {

enum class SpectrumColumn : std::uint8_t {
  Other,
  Wavelength,     // wavelength, wave, lambda, spectral_axis, ...
  LogWavelength,  // log10 of the wavelength: loglam, log_lambda, ...
  Flux,           // flux, value, counts, intensity, ...
};

// The kind of a column named `name` (TTYPEn), matched whole and case-insensitively.
[[nodiscard]] SpectrumColumn ClassifySpectrumColumn(std::string_view name);

}  // namespace lxr4
