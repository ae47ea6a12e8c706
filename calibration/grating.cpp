// The grating model, its wavelength correction and the calibration solve.
#include "app/procedures.h"

namespace lxr4 {

float ModelWavelength(App&, double, int) { return 0; }
float CorrectWavelength(float lambda) { return lambda; }
float CalibratedWavelength(App&, double) { return 0; }
float ColumnModelWavelength(App&, std::int16_t) { return 0; }
bool SolveCalibration(App&) { return false; }

}  // namespace lxr4
