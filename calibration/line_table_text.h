// Texts of the many-line calibration: the rows of the Lines and Residuals
// table, the residuals of a calibration over a line set, and the description
// of the calibration in force that exported headers carry. Pure code.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "calibration/line_fit.h"
#include "base/line_table.h"

namespace lxr4 {

// The table of `lines` with the columns of `fit`, the last fit made over
// these same lines, when there is one; else with the residuals in the
// calibration `inForce` (its model named `inForceName`) when there is one;
// else with those columns empty.
[[nodiscard]] LineTable LineTableOf(const LineSet& lines, const std::optional<FitResult>& fit,
                                    const std::optional<FittedCalibration>& inForce,
                                    const std::string& inForceName);

// The residuals of every line in `calibration`, as a fit over the used lines
// would report them (no clipping): for a calibration read from a file.
[[nodiscard]] FitResult ResidualsOf(const FittedCalibration& calibration, const LineSet& lines);

// "Grating: rms 0.123 A over 12 of 14 lines".
[[nodiscard]] std::string FitSummary(const FitResult& fit);

// The calibration in force described in a few lines of at most 70
// characters, for the headers of exported files: the model and its
// parameters, then the instrument `settings` (a grating model's own). `twoLine` marks the program's
// two-line solve (a grating model with the default settings). `fit` is the
// fit that made it, when it came from one.
[[nodiscard]] std::vector<std::string> DescribeCalibration(const FittedCalibration& calibration,
                                                           const InstrumentSettings& settings, bool twoLine,
                                                           const std::optional<FitResult>& fit);

}  // namespace lxr4
