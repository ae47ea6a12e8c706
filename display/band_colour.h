// Colours of a spectrum band once a calibration exists: the brightness
// correction of the object band and the colour of a column by its wavelength
// (Angstroms, single precision).
#pragma once

#include "base/colour.h"

namespace lxr4 {

// The object band's brightness of a column of grey level `grey` (0..255) at
// `wavelength`: grey x 0.329 / V, V a cubic in wavelength / 10000, clamped to
// 0..255 and rounded halves to even. Where V is zero or negative (near 3665,
// 8525 and 9615 Angstroms and beyond), or the wavelength is not a number, the
// column is black (0).
[[nodiscard]] int CorrectedBrightness(int grey, float wavelength);

// The colour of a band column of brightness `brightness` (0..255): blue up to
// 4500 Angstroms, through cyan (4937.5), green (5375) and yellow (5812.5), to
// red above 6250. A wavelength that is not a number gives black.
[[nodiscard]] Rgb BandColour(int brightness, float wavelength);

}  // namespace lxr4
