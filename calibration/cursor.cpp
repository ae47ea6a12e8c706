// The cursor scroll bar, its tick above the images, and the wavelength read-out.
#include <cmath>
#include <optional>

#include "base/number_text.h"
#include "calibration/captions.h"
#include "calibration/detector.h"
#include "calibration/handlers.h"
#include "calibration/lamp_handlers.h"

namespace lxr4 {

namespace {
constexpr std::int16_t kTickTop = 32, kTickBottom = 38;

// The tick sits above the image of the graphed spectrum.
void DrawTick(Program& app, double column, Rgb colour) {
  const Num& origin = app.s.CalGraphShown != kFalse ? app.s.Cal.OriginX : app.s.Object.OriginX;
  const std::optional<std::int16_t> x = ToInt16(origin.AsDouble() + column);
  if (!x) return;  // off the window
  app.w.DrawLine(Control::Spectra, *x, kTickTop, *x, kTickBottom, colour);
}

void MoveCursorTick(Program& app) {
  AppState& s = app.s;
  DrawTick(app, s.CursorTickPixel, kWindowGrey);
  DrawTick(app, s.CursorPixel.AsDouble(), kRed);
  s.CursorTickPixel = static_cast<std::int16_t>(s.CursorPixel.AsDouble());
}

void ReadCursor(Program& app) {
  AppState& s = app.s;
  const int column = app.w.Value(Control::hsbspectra);
  s.CursorPixel = static_cast<std::int16_t>(column);
  s.CursorDetectorPixel = ColumnCentrePixel(GraphedDetector(s), column);
  MoveCursorTick(app);
}

// The cursor column's value above the spectrum's minimum.
std::int64_t PixelValue(const AppState& s) {
  const auto column = static_cast<int>(s.CursorPixel.AsDouble());
  if (column < 1 || column > kGridColumns) return 0;
  return std::int64_t{s.CurrentSpectrum[column]} - s.SpectrumMin;
}
}  // namespace

void hsbspectra_Scroll(Program& app) { ReadCursor(app); }

void hsbspectra_Change(Program& app) {
  ReadCursor(app);
  app.DrawGraph();
  ShowCursorReadout(app);
}

void ShowCursorReadout(Program& app) {
  AppState& s = app.s;
  // A FITS frame's read-out names the detector pixel; a camera image's, its column.
  const bool frame = GraphedDetector(s).frame;
  if (s.CalibrationDone) {
    s.ReadoutPixel = frame ? Num(static_cast<float>(CursorDetectorPixel(s))) : s.CursorPixel;
    ShowWavelengthAtPixel(app);
  } else {
    app.w.SetCaption(Control::Lblwavelength, CursorCaption(CursorDetectorPixel(s), PixelValue(s)));
  }
}

void cmdemission_Click(Program& app) {
  if (!FindLineCentroid(app)) return;
  app.s.ReadoutPixel = app.s.LineCentroid;
  ShowWavelengthAtPixel(app);
}

void ShowWavelengthAtPixel(Program& app) {
  AppState& s = app.s;
  const WavelengthAt at = CalibratedWavelength(s, s.ReadoutPixel.AsDouble());
  KeepEvaluation(s, at);
  const float wavelength = at.wavelength;
  if (!(std::isfinite(wavelength) && wavelength > 0))
    return app.w.SetCaption(Control::Lblwavelength,
                            NoWavelengthCaption(s.ReadoutPixel.AsDouble(), PixelValue(s)));
  s.ReadoutWavelength = wavelength;
  // A calibration used where its lines say nothing, or on a frame it was not made on, says so.
  const std::string warning = ReadoutWarning(s, s.ReadoutPixel.AsDouble());
  app.w.SetCaption(Control::Lblwavelength, ReadoutCaption(s.ReadoutPixel.AsDouble(), wavelength, PixelValue(s)) +
                                               (warning.empty() ? "" : "\r\n" + warning));
}

}  // namespace lxr4
