// The Instrument dialog's fields and the instrument settings: the texts the
// dialog starts with, and the settings the typed texts give or why they are
// refused. Pure code.
#pragma once

#include <optional>
#include <string>

#include "calibration/instrument.h"
#include "state/window.h"

namespace lxr4 {

[[nodiscard]] InstrumentFields FieldsOf(const InstrumentSettings& settings);

struct InstrumentReading {
  std::optional<InstrumentSettings> settings;  // nullopt when a field is refused
  std::string message;                         // why, naming the field
};

// Groove density above 0 up to 10000 lines/mm; deviation angle from 0 up to
// 180 degrees; reference column from 1 to 768; pixel size empty or "-" (the
// image header's) or above 0 up to 1000 micrometres.
[[nodiscard]] InstrumentReading SettingsOf(const InstrumentFields& fields);

}  // namespace lxr4
