// What the Spectrum view shows, made from the state: shared by the view's
// drawing and zooming (spectrum_view.cpp) and its measurements (measure_view.cpp).
#pragma once

#include <vector>

#include "state/app_state.h"
#include "view/spectrum_plot.h"
#include "view/view_range.h"

namespace lxr4 {

struct ViewContents {
  SpectrumPlot plot;
  ViewExtent extent;
  bool empty = true;
};

// The units of the x axis: pixels until a calibration gives wavelengths; with
// no image loaded, the opened spectra's wavelengths.
[[nodiscard]] ViewUnits ShownUnits(const AppState& s);
[[nodiscard]] ViewContents ContentsOfView(const AppState& s);
// A native wavelength (Angstrom, the calibration's medium, unshifted) as the
// view's x in `units`, through the measuring row's medium and shift.
[[nodiscard]] double ShownX(const AppState& s, double native, ViewUnits units);
// The inverse.
[[nodiscard]] double NativeOfX(const AppState& s, double x, ViewUnits units);
// The native wavelengths of detector pixels 1..count of the graphed frame.
[[nodiscard]] std::vector<double> NativeOfPixels(const AppState& s, std::size_t count);
// A measured line's radial velocity as the table reports it: corrected to
// the barycentre when the correction is known (0 without a velocity).
[[nodiscard]] double ReportedVelocity(const MeasuredLine& m);
// The measuring row as the state has it (measure_view.cpp).
[[nodiscard]] MeasureControls MeasureControlsOf(const AppState& s);

}  // namespace lxr4
