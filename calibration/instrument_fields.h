// The Instrument dialog's fields and the instrument settings: the texts the
// dialog starts with, and the settings the typed texts give or why they are
// refused. The limits of every value a grating calibration holds live here
// once, for the dialog and for calibration files alike. Pure code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "calibration/instrument.h"
#include "state/window.h"

namespace lxr4 {

// The values a grating calibration is described by, and their limits:
//   GrooveDensity    lines/mm, from 1 up to 10000
//   DeviationAngle   degrees, from 0 to 180
//   ReferenceColumn  from 1 to 768 (also the theta-zero column of a model)
//   PixelSize        micrometres, from 0.1 up to 1000 (also a model's pixel width)
//   FocalLength      millimetres, from 0.001 up to 1000000
//   AlphaAngle       degrees, from -90 to 90
// Denormal, zero, non-finite and out-of-range numbers are all refused.
enum class GratingValue : std::uint8_t {
  GrooveDensity,
  DeviationAngle,
  ReferenceColumn,
  PixelSize,
  FocalLength,
  AlphaAngle,
};

// nullopt when `value` is within the limits of `which`; else what is wrong,
// a sentence without its first word or end: "groove density must be ...".
[[nodiscard]] std::optional<std::string> GratingValueProblem(GratingValue which, double value);

[[nodiscard]] InstrumentFields FieldsOf(const InstrumentSettings& settings);

struct InstrumentReading {
  std::optional<InstrumentSettings> settings;  // nullopt when a field is refused
  std::string message;                         // why, naming the field
};

// The typed fields within the limits above; the pixel size may also be empty
// or "-" (the image header's).
[[nodiscard]] InstrumentReading SettingsOf(const InstrumentFields& fields);

}  // namespace lxr4
