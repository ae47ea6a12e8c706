// Lamp spectra drawn from a known grating, for the fit and solve tests:
// Gaussian lines at the columns the model gives their wavelengths, measured
// back with the program's centroid.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "calibration/centroid.h"
#include "calibration/instrument.h"
#include "calibration/line_list.h"
#include "calibration/line_set.h"

namespace lxr4 {

// The fractional column where `model` puts `wavelength`, by bisection.
inline double ColumnOf(const GratingModel& model, double wavelength) {
  double lo = -2000, hi = 3000;
  const bool rising = !model.parameters.descending;
  for (int i = 0; i < 80; ++i) {
    const double mid = (lo + hi) / 2;
    if ((EvaluateGrating(model, mid).wavelength < wavelength) == rising)
      lo = mid;
    else
      hi = mid;
  }
  return (lo + hi) / 2;
}

// A lamp spectrum: lines at `columns` drawn as Gaussians of sigma 1.2 columns
// on a sloping background.
inline std::vector<double> LampSpectrum(const std::vector<double>& columns, int width) {
  std::vector<double> s(static_cast<std::size_t>(width));
  for (int i = 1; i <= width; ++i) {
    double v = 300.0 + 0.2 * i;
    for (std::size_t n = 0; n < columns.size(); ++n) {
      const double d = (i - columns[n]) / 1.2;
      v += (4000.0 + 700.0 * static_cast<double>(n % 5)) * std::exp(-0.5 * d * d);
    }
    s[static_cast<std::size_t>(i - 1)] = static_cast<std::int32_t>(std::lround(v));
  }
  return s;
}

// Every line of the built-in list that falls on columns 10..width-10 at
// least 8 columns from any other, drawn on a lamp spectrum, then centroided
// (width 7) at its nearest column.
inline LineSet SyntheticLamp(const GratingModel& truth, int width = 768) {
  std::vector<std::pair<double, double>> placed;  // wavelength, column
  std::vector<double> columns;
  for (const LineEntry& e : kSpectralLines) {
    const double c = ColumnOf(truth, e.wavelength);
    if (c > 10 && c < width - 10) {
      placed.emplace_back(e.wavelength, c);
      columns.push_back(c);
    }
  }
  const std::vector<double> s = LampSpectrum(columns, width);
  LineSet lines;
  for (const auto& [wavelength, column] : placed) {
    bool alone = true;
    for (const auto& other : placed)
      if (other.second != column && std::fabs(other.second - column) < 8) alone = false;
    if (!alone) continue;
    const CentroidResult r = FindCentroid(s, static_cast<int>(std::lround(column)), 7);
    if (r.error == CentroidError::None) lines.push_back({wavelength, r.column, "", true});
  }
  return lines;
}

}  // namespace lxr4
