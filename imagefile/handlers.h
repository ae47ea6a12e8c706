// The strip image handler.
// Each takes the program (state and window) and works on it.
#pragma once

#include "state/program.h"

namespace lxr4 {

// strip image
void cmdstrip_Click(Program& app);

// File > FITS Import...: the settings of FITS frame imports (imagefile/fits_settings.h).
void fitsImport_Click(Program& app);

}  // namespace lxr4
