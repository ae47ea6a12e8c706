// The detector a calibration counts: a camera image's 768 columns, or the
// pixels of an imported FITS frame along its dispersion. Lines, fits and
// wavelengths are in its pixels; the overview's columns map onto them
// (state/detector_map.h). For a camera image every number here is the
// design's own.
#pragma once

#include "calibration/line_fit.h"
#include "state/app_state.h"

namespace lxr4 {

// The slot whose spectrum is graphed: lines are measured on it.
[[nodiscard]] const CameraImage& GraphedImage(const AppState& s);
[[nodiscard]] const DetectorMap& GraphedDetector(const AppState& s);

// The detector's pixels: a frame's length, else the camera's 768 columns.
[[nodiscard]] int DetectorPixels(const AppState& s);

// The grating model's pixel width (micrometres) and theta-zero position on
// the detector: a frame's detector pixel (the header's width is of a binned
// column) and the middle of overview column 381.
[[nodiscard]] float ModelPixelWidth(const AppState& s);
[[nodiscard]] float ModelReference(const AppState& s);
// The same for the grating fits, with the Instrument settings' pixel size
// (a frame's detector pixel) and reference column.
[[nodiscard]] float FitPixelWidth(const AppState& s);
[[nodiscard]] FitOptions DetectorFitOptions(const AppState& s, bool clip);

// A centroid window of `columns` overview columns in detector pixels: the
// same stretch of the detector, an odd number of pixels.
[[nodiscard]] inline int DetectorWindow(const DetectorMap& m, int columns) { return m.frame ? (columns * m.bin) | 1 : columns; }

// The detector pixel the cursor is on (the middle of its overview column,
// or where the Spectrum view put it).
[[nodiscard]] int CursorDetectorPixel(const AppState& s);

// The position of overview column `column` on the detector the calibration counts.
[[nodiscard]] double ColumnOnDetector(const AppState& s, double column);

}  // namespace lxr4
