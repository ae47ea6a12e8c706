// The Spectrum view's picture: whole spectra with axes, ticks, markers, a
// cursor, a residual panel and a legend, drawn as a PlotPicture the window
// paints (platform/plot_painter.h). Pure code on explicit inputs: whatever the
// inputs (empty curves, NaN values, a range of no width, a 10 x 10 picture),
// it gives a picture of the size asked, with no NaN coordinate and no label
// that reads "nan" or "inf".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/colour.h"
#include "base/plot_picture.h"

namespace lxr4 {

struct PlotCurve {
  std::string name;  // in the legend
  Rgb colour;
  std::vector<double> x, y;  // same length; x monotonic, rising or falling
};

enum class MarkerKind : std::uint8_t { TableLine, ListLine, Measured };

// A vertical mark with its label: a line of the line table (solid), of the
// lamp's line list (dotted, another colour) or a measured line's centre.
struct PlotMarker {
  double x = 0;
  std::string label;
  MarkerKind kind = MarkerKind::TableLine;
};

// A fitted line's residual at its x; one the fit did not use (clipped or
// switched off) is drawn apart.
struct ResidualPoint {
  double x = 0, residual = 0;
  bool used = true;
};

struct SpectrumPlot {
  std::vector<PlotCurve> curves;  // the spectrum(s), then overlays; a legend when > 1 or `legend`
  double xFrom = 0, xTo = 1;      // the range shown
  std::string xLabel;             // "Wavelength (Å)", "Wavelength (nm)", "Pixel"
  std::string yLabel;             // "Counts"
  std::vector<PlotMarker> markers;
  std::optional<double> cursor;          // a vertical cursor line
  std::vector<ResidualPoint> residuals;  // a residual panel under the spectrum when not empty
  std::string residualLabel;             // "Residual (Å)"
  std::string message;                   // in the middle when there is no data to draw
  bool legend = false;                   // a legend even for one curve (a spectrum from a file)
  // x ranges where the calibration is extrapolated beyond its lines: shaded, labelled.
  std::vector<std::pair<double, double>> extrapolated;
  // x ranges marked as continuum, and the region of the line measured last: shaded.
  std::vector<std::pair<double, double>> continuum;
  std::optional<std::pair<double, double>> measured;
  // The last measurement's fitted profile on its continuum, drawn over the curves.
  std::vector<double> fitX, fitY;
};

// The palette: curve `index` of a view (0 the object spectrum, 1 the lamp,
// then overlays), cycling after the last.
[[nodiscard]] Rgb CurveColour(int index);

// The picture of `plot` at width x height pixels. Its `area` is the spectrum
// panel's box and x range: PixelOfValue and ValueAtPixel turn one into the
// other. A curve is drawn a pixel column at a time (view/curve_columns.h), so
// the picture holds O(width) lines however many samples it has.
[[nodiscard]] PlotPicture DrawSpectrumPlot(const SpectrumPlot& plot, int width, int height);

// The x pixel of a value and the value at an x pixel (fractional both ways);
// an area of no width or no range maps everything to its left edge / xFrom.
[[nodiscard]] double PixelOfValue(const PlotArea& area, double value);
[[nodiscard]] double ValueAtPixel(const PlotArea& area, double pixel);

}  // namespace lxr4
