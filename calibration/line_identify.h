// Identify Lines: the peaks of a calibration spectrum matched to a line list
// through the calibration in force. Pure code on explicit inputs.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "calibration/line_list_file.h"
#include "calibration/line_set.h"

namespace lxr4 {

// A peak is a local maximum (the middle of a flat, saturated top) standing
// more than kPeakSigmas noise sigmas above the background. The background is
// a running median over kBackgroundColumns columns; the noise sigma is
// 1.4826 times the median absolute deviation from it, so lines do not count.
inline constexpr double kPeakSigmas = 8.0;
inline constexpr int kBackgroundColumns = 41;

struct Peak {
  float column = 0;   // the program's centroid at the peak (FindCentroid), from 1
  double height = 0;  // counts above the background at the peak's column
};

// The peaks of `spectrum` (columns 1..N, spectrum[0] is column 1) measured with
// the centroid of `centroidWidth` columns, in column order; peaks whose
// centroid fails or lands within a column of a higher peak's are left out.
[[nodiscard]] std::vector<Peak> FindPeaks(std::span<const double> spectrum, int centroidWidth);

// The wavelength (Angstroms) of a fractional column in the calibration in force.
using WavelengthOfColumn = std::function<double(double column)>;

// Each peak's wavelength is predicted and matched to the nearest list line
// within `tolerancePixels` columns (through the local dispersion). A peak
// with two list lines in reach, and a list line in reach of two peaks, are
// ambiguous and left out, so every match is one to one. The matches come
// back as used lines with the list's wavelength and label, in column order.
// `pixels` is the detector's length (AddLine).
[[nodiscard]] LineSet IdentifyLines(std::span<const double> spectrum, const WavelengthOfColumn& wavelengthOf,
                                    const std::vector<ListLine>& list, double tolerancePixels, int centroidWidth,
                                    int pixels = kGridColumns);

}  // namespace lxr4
