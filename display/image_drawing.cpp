// Drawing the two image slots on the main window surface: every pixel in its
// grey level, or ("Expand Spectra" ticked) the extracted spectrum as a 20-row
// band, coloured by wavelength once a calibration exists.
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <optional>
#include <vector>

#include "calibration/handlers.h"
#include "display/handlers.h"
#include "display/band_colour.h"
#include "display/grey_scale.h"

namespace lxr4 {

namespace {

constexpr int kBandRows = 20;

Rgb Grey(int g) {
  const auto level = static_cast<std::uint8_t>(g);
  return {level, level, level};
}

// The window's points take single-precision coordinates.
PaintedPoint At(double x, int y, Rgb colour) {
  return PaintedPoint{static_cast<float>(x), static_cast<float>(y), colour};
}

std::int64_t Whole(const Num& n) { return static_cast<std::int64_t>(n.AsDouble()); }

// A traced frame's extraction over its image: the trace's centre in yellow,
// the aperture's edges in green and the sky bands' edges in cyan, dotted (a
// point every few columns, on the row each falls on; none off the image) so
// that the frame shows between them.
void DrawAperture(Program& app, const CameraImage& image, int height, int width) {
  const ApertureDrawing& a = image.Aperture;
  if (a.centre.empty()) return;
  constexpr Rgb kTrace{255, 255, 0}, kSky{0, 200, 255};
  constexpr int kDot = 4;  // columns from one point to the next
  std::vector<std::pair<double, Rgb>> lines{{0.0, kTrace}, {-a.halfWidth, kGreen}, {a.halfWidth, kGreen}};
  if (a.skyOuter > 0)
    for (const double d : {-a.skyOuter, -a.skyInner, a.skyInner, a.skyOuter}) lines.emplace_back(d, kSky);
  const double originX = image.OriginX.AsDouble();
  const int columns = std::min(width, static_cast<int>(a.centre.size()));
  for (const auto& [offset, colour] : lines) {
    std::vector<PaintedPoint> points;
    for (int i = 1 + (offset == 0 ? kDot / 2 : 0); i <= columns; i += offset == 0 ? 2 * kDot : kDot) {
      const double row = std::round(a.centre[static_cast<std::size_t>(i - 1)] + offset);
      if (row >= 1 && row <= height) points.push_back(At(originX + i, image.OriginY + static_cast<int>(row), colour));
    }
    if (!points.empty()) app.w.PaintPoints(points);
  }
}

void DrawImageMode(Program& app, const CameraImage& image) {
  const GreyScale scale = MakeGreyScale(Whole(image.Range), DrawMode::Image);
  const std::int64_t background = Whole(image.Background);
  // The loops stay inside the 768 x 20 grid whatever the header said.
  const int height = static_cast<int>(std::clamp<std::int64_t>(Whole(image.Height), 0, kGridRows));
  const int width = std::clamp<int>(image.Width, 0, kGridColumns);
  const double originX = image.OriginX.AsDouble();
  std::vector<PaintedPoint> row(static_cast<std::size_t>(width));
  for (int j = 1; j <= height; ++j) {
    for (int i = 1; i <= width; ++i)
      row[static_cast<std::size_t>(i - 1)] =
          At(originX + i, image.OriginY + j, Grey(GreyLevel(image.Pixels.at(i, j), background, scale)));
    app.w.PaintPoints(row);
  }
  DrawAperture(app, image, height, width);
}

void DrawBandMode(Program& app, Slot slot) {
  const CameraImage& image = app.s.Image(slot);
  const bool object = slot == Slot::Object;
  const Spectrum& spectrum = object ? app.s.ObjectSpectrum : app.s.CalSpectrum;
  const GreyScale scale = MakeGreyScale(Whole(image.Range), DrawMode::Band);
  const std::int64_t offset =
      BandOffset(Whole(image.Background), object, object && app.w.Ticked(Control::chkfilter));
  const int width = std::clamp<int>(image.Width, 0, kGridColumns);
  const double originX = image.OriginX.AsDouble();
  std::array<PaintedPoint, kBandRows> column;
  std::optional<WavelengthAt> last;
  for (int i = 1; i <= width; ++i) {
    const int g = GreyLevel(spectrum[i], offset, scale);
    Rgb colour = Grey(g);
    if (app.s.CalibrationDone) {
      last = ColumnModelWavelength(app.s, static_cast<std::int16_t>(i));
      const float lambda = last->wavelength;
      colour = BandColour(object ? CorrectedBrightness(g, lambda) : g, lambda);
    }
    for (int j = 1; j <= kBandRows; ++j)
      column[static_cast<std::size_t>(j - 1)] = At(originX + i, image.OriginY + j, colour);
    app.w.PaintPoints(column);
  }
  if (last) KeepEvaluation(app.s, *last);
}

void DrawSlot(Program& app, Slot slot) {
  if (app.w.Ticked(Control::chkexpand))
    DrawBandMode(app, slot);
  else
    DrawImageMode(app, app.s.Image(slot));
}

}  // namespace

void DrawObjectImage(Program& app) { DrawSlot(app, Slot::Object); }
void DrawCalImage(Program& app) { DrawSlot(app, Slot::Cal); }

}  // namespace lxr4
