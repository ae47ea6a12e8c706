// The lamp and the automatic calibration, for the handlers of the
// Calibration menu and the read-out: the lines of the chosen lamp, the
// identification from the calibration in force, and the warnings of a
// calibration used beyond its lines or on a frame it was not made on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/auto_identify.h"
#include "state/program.h"

namespace lxr4 {

// The lamp frame an image is: its file, where its pixels lie, its spectrum.
[[nodiscard]] LampFrame FrameOf(const CameraImage& image);
// The calibration in force's warning, if any, in a message: said whenever one is put in force.
void WarnOfCalibration(Program& app);
// The chosen lamp's lines, merged, in air or vacuum as chosen.
[[nodiscard]] std::vector<ListLine> LampListLines(const AppState& s);
// The lamp's lines identified in the calibration spectrum from the
// calibration in force; nullopt when there is none.
[[nodiscard]] std::optional<AutoIdentifyResult> IdentifyWithLamp(const AppState& s);
// The warning of a calibration in force made on a frame of another geometry
// than the graphed one, or "".
[[nodiscard]] std::string FrameWarning(const AppState& s);
// The warning of the calibration in force for the graphed frame: made on a
// frame of another geometry, or used beyond its lines; "" when none.
[[nodiscard]] std::string CalibrationWarning(const AppState& s);
// When a lamp loaded with a fit or calibration file in force has moved
// against the lamp that calibration was made on (same geometry) by a tenth
// of a pixel or more: the message that says so and how to follow it; else "".
inline constexpr double kLampMovedPixels = 0.1;
[[nodiscard]] std::string LampMovedWarning(const AppState& s);
// What the read-out adds for `pixel`: "not calibrated for this frame",
// "(extrapolated)" or "".
[[nodiscard]] std::string ReadoutWarning(const AppState& s, double pixel);

}  // namespace lxr4
