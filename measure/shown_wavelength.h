// Wavelengths as the user asked to see and export them: in air or vacuum,
// in the rest frame of a source moving at a chosen velocity, in Angstrom or
// nanometres. "Native" wavelengths are the spectrum's own: the calibration's
// medium, unshifted, in Angstrom. Pure code.
#pragma once

#include <vector>

#include "measure/continuum.h"
#include "state/app_state.h"

namespace lxr4 {

struct WavelengthFrame {
  bool calibratedInVacuum = false;  // the medium of the native wavelengths
  bool vacuum = false;              // the medium shown
  double shiftKms = 0;  // shown in the rest frame of a source at this velocity (positive: receding)
  bool nanometres = false;

  // The native wavelengths unchanged.
  [[nodiscard]] bool Identity() const {
    return calibratedInVacuum == vacuum && shiftKms == 0 && !nanometres;
  }
};

// Native Angstrom to shown: the medium converted (calibration/air_vacuum.h),
// then divided by the Doppler factor sqrt((1 + beta) / (1 - beta)), then in
// the units shown. A velocity at or beyond the speed of light shifts nothing.
[[nodiscard]] double ShownWavelength(double native, const WavelengthFrame& frame);
// The inverse.
[[nodiscard]] double NativeWavelength(double shown, const WavelengthFrame& frame);

// The continuum normalisation of a spectrum both the view and the exports
// use: through the marked ranges (native Angstrom) when there are any, a
// polynomial of order one less than their count up to 3; else order 3 by
// clipping.
[[nodiscard]] ContinuumOptions NormalisationOptions(const std::vector<WavelengthRange>& marked);

// The frame the Spectrum view's measuring row asks for (its medium, shift and
// units), which the view and the exports both use. The calibration's
// wavelengths are in vacuum when a lamp of vacuum wavelengths calibrated them.
[[nodiscard]] WavelengthFrame ViewFrame(const AppState& s);
// The marked continuum ranges as the normalisation takes them.
[[nodiscard]] std::vector<WavelengthRange> MarkedContinuum(const AppState& s);

}  // namespace lxr4
