// The grating model of the spectrograph: the wavelength of a column from the
// focal length and the alpha angle, and the empirical correction applied to it.
// Columns are numbered from 1 and may be fractional; wavelengths in Angstroms,
// angles in degrees, focal length in millimetres, pixel width in micrometres.
#pragma once

#include <cstdint>

#include "base/num.h"

namespace lxr4 {

inline constexpr float kReferenceColumn = 381.0f;   // theta is 0 there
inline constexpr double kGrooveSpacing = 3.333333;  // micrometres, not 10/3

// The calibration fields the model and the solve read and write.
struct Grating {
  Num FocalLength;       // 16-bit integer 50 at start, double once solved
  Num AlphaAngle;        // single during a scan, double after it
  double BetaAngle = 0;  // written by every model evaluation
  double GrooveSpacing = kGrooveSpacing;
  std::int16_t GammaAngle = 0;
  float DegreesPerRadian = 57.29578f;
  float PixelWidth = 0;  // of the image loaded last (a FITS frame's detector pixel)
  float Reference = kReferenceColumn;  // where theta is 0 (a FITS frame: column 381's detector pixel)
  bool WavelengthDescending = false;
  bool FocalLengthFitted = false;
  bool CalibrationDone = false;
};

// +1 when the wavelength rises with the column number, -1 when it falls.
[[nodiscard]] inline int ThetaSign(const Grating& g) { return g.WavelengthDescending ? -1 : 1; }

// What one evaluation of the model reads: the calibration by reference, so that
// the program's state can be read where it stands.
struct ModelInput {
  const Num& FocalLength;
  const Num& AlphaAngle;
  double GrooveSpacing;
  std::int16_t GammaAngle;
  float DegreesPerRadian;
  float PixelWidth;
  float Reference = kReferenceColumn;
};

// Uncorrected model wavelength of column `pixel` with theta taken with `sign`
// (+1 or -1); writes the diffraction angle of that column to `beta`.
float ModelWavelength(const ModelInput& in, double pixel, int sign, double& beta);

// The same on a Grating; writes g.BetaAngle.
float ModelWavelength(Grating& g, double pixel, int sign);

// The correction, 0 at 5500 Angstroms and never raising a wavelength.
float CorrectWavelength(float lambda);

// The wavelength of column `pixel` as the read-out, print and export show it:
// the model with the sign of the calibration's orientation, then corrected.
float CalibratedWavelength(Grating& g, double pixel);

}  // namespace lxr4
