// The settings of FITS frame imports (File > FITS Import...): checked from the
// dialog's fields, kept by the window between runs, read by Load Spectra and
// Load Cal for each frame and by Export Spectrum for the units of its values.
#pragma once

#include <string>
#include <variant>

#include "imagefile/fits_import.h"
#include "state/window.h"

namespace lxr4 {

struct FitsSettings {
  ImportOptions import;
  // Export Spectrum gives an imported frame's values in the frame's own units
  // (the image's are a scaling of the import's, different for every frame).
  bool frameUnits = true;
};

// The settings the fields give, or the message that says which field is wrong.
[[nodiscard]] std::variant<FitsSettings, std::string> CheckFitsImportFields(const FitsImportFields& fields);

// The settings the window keeps; the defaults where it keeps none (or ones no
// longer valid).
[[nodiscard]] FitsSettings CurrentFitsSettings(const Window& w);

}  // namespace lxr4
