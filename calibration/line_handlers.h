// The Calibration menu's handlers: instrument settings, the line table, fits
// over many lines, line lists, Identify Lines and calibration files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "state/program.h"
#include "calibration/line_fit.h"

namespace lxr4 {

void instrument_Click(Program& app);
void linesAndResiduals_Click(Program& app);
void addLine_Click(Program& app);
void lineList_Click(Program& app);
void identifyLines_Click(Program& app);
void fitGrating_Click(Program& app);
void fitPolynomial_Click(Program& app, int order);
void clipOutliers_Click(Program& app);
void useFit_Click(Program& app);
void openCalibrationFile_Click(Program& app);
void saveCalibration_Click(Program& app);
void lamp_Click(Program& app);
void autoCalibrate_Click(Program& app);
void reidentify_Click(Program& app);
// A row's "used" box or Remove in the Lines and Residuals dialog.
void LineTable_Edit(Program& app, const LineTableEdit& edit);
// The table as it stands, into the Lines and Residuals dialog.
void ShowTable(Program& app);
// Lines the user would lose: changed since the last calibration file was
// saved or opened. An empty table holds nothing to lose.
[[nodiscard]] bool LinesUnsaved(const AppState& s);
// The calibration in force is now `calibration`; the read-out and every
// export take it. `fromMarks`: the solve of the two marked lines.
void PutInForce(Program& app, const FittedCalibration& calibration, bool fromMarks = false);

// At start-up: the instrument settings kept in the user's settings, if any.
void LoadKeptInstrument(Program& app);

// The calibration every user of wavelengths takes: the fit in force, else the
// two-line solve as a grating model with the default settings (which gives
// its wavelengths to the bit); nullopt before any calibration.
[[nodiscard]] std::optional<FittedCalibration> CalibrationInForce(const AppState& s);
// "" before any calibration, "Two lines" for the two-line solve, else the
// fit's model name ("Grating", "Polynomial 3").
[[nodiscard]] std::string CalibrationModelName(const AppState& s);
// The calibration in force described in a few text lines for the headers of
// exported files (DescribeCalibration): the model and its parameters, with
// the figures of the fit that made it, then the instrument settings. Empty
// before any calibration.
[[nodiscard]] std::vector<std::string> CalibrationDescription(const AppState& s);
// The two-line solve with instrument settings other than the defaults: a
// grating fit through exactly the two lines. False, with nothing changed,
// when it cannot be made.
[[nodiscard]] bool SolveTwoLinesWithSettings(Program& app, double wavelength1, float pixel1, double wavelength2,
                                             float pixel2);

}  // namespace lxr4
