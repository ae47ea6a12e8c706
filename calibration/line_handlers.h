// The Calibration menu's handlers: instrument settings, the line table, fits
// over many lines, line lists, Identify Lines and calibration files.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "calibration/line_fit.h"

namespace lxr4 {

void instrument_Click(App& app);
void linesAndResiduals_Click(App& app);
void addLine_Click(App& app);
void lineList_Click(App& app);
void identifyLines_Click(App& app);
void fitGrating_Click(App& app);
void fitPolynomial_Click(App& app, int order);
void clipOutliers_Click(App& app);
void useFit_Click(App& app);
void openCalibrationFile_Click(App& app);
void saveCalibration_Click(App& app);
// A row's "used" box or Remove in the Lines and Residuals dialog.
void LineTable_Edit(App& app, const LineTableEdit& edit);
// At start-up: the instrument settings kept in the user's settings, if any.
void LoadKeptInstrument(App& app);

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
[[nodiscard]] bool SolveTwoLinesWithSettings(App& app, double wavelength1, float pixel1, double wavelength2,
                                             float pixel2);

}  // namespace lxr4
