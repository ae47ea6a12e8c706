// The part every fit shares: choosing the lines, the residual table, the rms
// and the sigma clipping around one solve. Used by the fits in line_fit.h only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "calibration/line_fit.h"

namespace lxr4 {

// Solves for the lines whose flag in `in` is set, writing `fit`; an error
// leaves `fit` to be dropped.
using LineSolver = std::function<FitError(const LineSet& lines, const std::vector<bool>& in, FittedCalibration& fit)>;

// Runs `solve` with `parameters` unknowns over the used lines (at least
// `fewest` of them, `parameters` when 0), clipping when asked (options.clip),
// and fills the result for the detector of options.pixels. `tooFew` is the
// message when too few lines are used.
[[nodiscard]] FitResult RunFit(const LineSet& lines, int parameters, const FitOptions& options, const LineSolver& solve,
                               const std::string& tooFew, int fewest = 0);

// The message of every error but TooFewLines.
[[nodiscard]] std::string FitMessage(FitError error);

// The number of distinct columns (more than 0.01 column apart) among the lines in the fit.
[[nodiscard]] int DistinctColumns(const LineSet& lines, const std::vector<bool>& in);

}  // namespace lxr4
