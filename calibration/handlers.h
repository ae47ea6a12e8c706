// The line marking, grating model and cursor read-out handlers.
// Each takes the program (state and window) and works on it.
#pragma once

#include <optional>

#include <cstdint>

#include "state/program.h"

namespace lxr4 {

struct LinePair;

// line marking
void cboscale_Click(Program& app);
void cbobox_Click(Program& app);
// Writes the centroid of the line at the cursor to LineCentroid. When the
// window holds no net light, its centroid falls outside it, or it does not fit
// in the spectrum, tells the user so and returns false; LineCentroid is then unchanged.
[[nodiscard]] bool FindLineCentroid(Program& app);
void cmdmarkline1_Click(Program& app);
void cmdmarkline2_Click(Program& app);

// grating model (wavelengths in Angstroms, single precision). The queries read
// the state and change nothing; a handler that evaluates wavelengths leaves
// the diffraction angle of its last evaluation in BetaAngle with KeepEvaluation,
// as the read-out, bands, page and exports do.
struct WavelengthAt {
  float wavelength = 0;
  std::optional<double> beta;  // the model's diffraction angle; none when a fit gave the wavelength
};
[[nodiscard]] WavelengthAt ModelWavelength(const AppState& s, double pixel, int sign);
float CorrectWavelength(float lambda);
[[nodiscard]] WavelengthAt CalibratedWavelength(const AppState& s, double pixel);
[[nodiscard]] WavelengthAt ColumnModelWavelength(const AppState& s, std::int16_t column);
void KeepEvaluation(AppState& s, const WavelengthAt& at);
// Fits the calibration to `lines` (calibration/grating_solver.h): the two-line
// solve while FocalLengthFitted is false, else the re-fit of the alpha angle to
// line 1. False when they cannot be fitted, or the result gives no wavelength
// above 0 at some column of the detector; the calibration is then unchanged.
[[nodiscard]] bool SolveCalibration(Program& app, const LinePair& lines);

// cursor and read-out
void hsbspectra_Scroll(Program& app);
void hsbspectra_Change(Program& app);
void cmdemission_Click(Program& app);
void ShowWavelengthAtPixel(Program& app);
// The read-out of the cursor as it stands: its wavelength once calibrated, else its pixel and value.
void ShowCursorReadout(Program& app);

}  // namespace lxr4
