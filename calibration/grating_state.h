// Moving the calibration between the program's state and the grating model.
#pragma once

#include "state/app_state.h"
#include "calibration/grating_model.h"

namespace lxr4 {

// The calibration fields of `s` as the model reads them.
Grating GratingOf(const AppState& s);

// Writes every calibration field of `g` (and its BetaAngle) back into `s`.
void StoreGrating(const Grating& g, AppState& s);

}  // namespace lxr4
