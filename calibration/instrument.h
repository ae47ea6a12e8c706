// The spectrograph as the user describes it (groove density, deviation angle,
// reference column, the empirical correction, a pixel size) and the grating
// model of any such spectrograph: the wavelength of a column from the focal
// length, the alpha angle and the orientation. With the default settings the
// model is the program's two-line model (grating_model.h), to the bit. Columns count from 1 and may be
// fractional; Angstroms, degrees, millimetres and micrometres throughout.
#pragma once

#include <optional>

#include "base/calibration_values.h"

namespace lxr4 {

// Groove spacing in micrometres: the LXR-4's 3.333333 (not 10/3) for 300
// lines/mm, so that the default settings give the two-line model's numbers; else 1000
// over the density.
[[nodiscard]] double GrooveSpacingOf(const InstrumentSettings& settings);

// `value` in single precision; beyond the range of float the infinity of its
// sign (a plain conversion would be undefined there), NaN stays NaN.
[[nodiscard]] float ToSingle(double value);

// The pixel width the model uses: the override when set, else the header's.
[[nodiscard]] float PixelWidthOf(const InstrumentSettings& settings, float headerPixelWidth);

// The wavelength of `column` as the read-out shows it: the two-line model with
// its single-precision steps, then the correction when the settings ask for
// it. With the default settings, reference column 381 and a solved (double)
// focal length this equals CalibratedWavelength bit for bit.
[[nodiscard]] float GratingWavelength(const GratingModel& model, double column);

// The same model in double precision throughout, for fitting: smooth in the
// parameters. Also gives the derivatives of the wavelength with respect to
// the focal length, the alpha angle, the reference column and the column.
struct GratingEvaluation {
  double wavelength = 0;
  double byFocalLength = 0, byAlpha = 0, byReferenceColumn = 0, byColumn = 0;
};
[[nodiscard]] GratingEvaluation EvaluateGrating(const GratingModel& model, double column);

}  // namespace lxr4
