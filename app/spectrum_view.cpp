// The Spectrum view: what it draws from the state (the spectra at the
// detector's pixels, the table's and the list's lines, the fit's residuals,
// the opened spectra), and what the user's zoom, pan, clicks and choices do.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "app/procedures.h"
#include "app/view_contents.h"
#include "base/number_text.h"
#include "calibration/detector.h"
#include "calibration/lamp_handlers.h"
#include "calibration/model_choice.h"
#include "measure/continuum.h"
#include "output/relative_flux.h"
#include "measure/shown_wavelength.h"

namespace lxr4 {

namespace {

constexpr double kWheelZoom = 1.25;  // per notch
constexpr double kKeyZoom = 1.5;
constexpr double kKeyPan = 0.25;  // of the range's width
constexpr int kLeastSamples = 4;  // the narrowest range a zoom reaches

bool AnyImage(const AppState& s) { return s.Object.Loaded != kFalse || s.Cal.Loaded != kFalse; }

// The x value of detector pixel `pixel` (fractional) in `units`.
double XOfPixel(const AppState& s, double pixel, ViewUnits units) {
  if (units == ViewUnits::Pixel) return pixel;
  return ShownX(s, CalibratedWavelength(s, pixel).wavelength, units);
}

std::vector<double> XOfPixels(const AppState& s, std::size_t count, ViewUnits units) {
  std::vector<double> x(count);
  for (std::size_t i = 0; i < count; ++i) x[i] = XOfPixel(s, static_cast<double>(i + 1), units);
  return x;
}

// The fractional index where a monotonic `x` takes `value` (clamped to its ends).
double IndexOf(std::span<const double> x, double value) {
  if (x.size() < 2) return 0;
  const bool rising = x.back() >= x.front();
  const auto below = [rising](double a, double b) { return rising ? a < b : a > b; };
  const auto it = std::lower_bound(x.begin(), x.end(), value, below);
  if (it == x.begin()) return 0;
  if (it == x.end()) return static_cast<double>(x.size() - 1);
  const auto i = static_cast<std::size_t>(it - x.begin());
  const double span = x[i] - x[i - 1];
  return static_cast<double>(i - 1) + (span != 0 ? (value - x[i - 1]) / span : 0);
}

// The detector pixel (fractional) at x value `value` of the graphed spectrum.
double PixelOfX(const AppState& s, double value, ViewUnits units) {
  if (units == ViewUnits::Pixel) return value;
  const std::vector<double> x = XOfPixels(s, GraphedImage(s).Native.size(), units);
  return IndexOf(x, value) + 1;
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

std::string AxisLabel(ViewUnits units) {
  switch (units) {
    case ViewUnits::Angstrom:
      return "Wavelength (\u00c5)";
    case ViewUnits::Nanometre:
      return "Wavelength (nm)";
    case ViewUnits::Pixel:
      break;
  }
  return "Detector pixel";
}

// The greatest value of a curve within [from, to].
double MostWithin(const PlotCurve& c, double from, double to) {
  double most = -INFINITY;
  for (std::size_t i = 0; i < c.x.size(); ++i)
    if (c.x[i] >= from && c.x[i] <= to && std::isfinite(c.y[i])) most = std::max(most, c.y[i]);
  return most;
}

// The spectrum divided by its continuum; nullopt when that cannot be done
// (the view's Normalise box says why when ticked).
std::optional<std::vector<double>> Normalised(const AppState& s, std::span<const double> native,
                                              std::span<const double> flux) {
  const auto continuum = NormaliseContinuum(native, flux, NormalisationOptions(MarkedContinuum(s)));
  if (!continuum.ok()) return std::nullopt;
  return continuum.normalised;
}

}  // namespace

std::vector<double> NativeOfPixels(const AppState& s, std::size_t count) {
  std::vector<double> w(count);
  for (std::size_t i = 0; i < count; ++i) w[i] = CalibratedWavelength(s, static_cast<double>(i + 1)).wavelength;
  return w;
}

ViewUnits ShownUnits(const AppState& s) {
  if (!s.CalibrationDone && AnyImage(s)) return ViewUnits::Pixel;
  if (!s.CalibrationDone && s.View.units == ViewUnits::Pixel) return ViewUnits::Angstrom;
  return s.View.units;
}

double ShownX(const AppState& s, double native, ViewUnits units) {
  WavelengthFrame frame = ViewFrame(s);
  frame.nanometres = units == ViewUnits::Nanometre;
  return ShownWavelength(native, frame);
}

double NativeOfX(const AppState& s, double x, ViewUnits units) {
  WavelengthFrame frame = ViewFrame(s);
  frame.nanometres = units == ViewUnits::Nanometre;
  return NativeWavelength(x, frame);
}

ViewContents ContentsOfView(const AppState& s) {
  ViewContents c;
  const ViewUnits units = ShownUnits(s);
  SpectrumPlot& plot = c.plot;
  plot.xLabel = AxisLabel(units);
  plot.yLabel = "Counts";
  int index = 0;
  // Normalised, the object and the opened spectra are divided by their
  // continua and the lamp, whose counts would flatten them, is not drawn.
  const bool normalise = s.View.normalise && units != ViewUnits::Pixel;
  bool relativeFlux = false;  // the object divided by the instrument response
  const auto add = [&](const CameraImage& image, bool shown, const char* role) {
    const int colour = index++;
    if (!shown || image.Loaded == kFalse || image.Native.empty()) return;
    PlotCurve curve{std::string(role) + ": " + FileName(image.FileName), CurveColour(colour),
                    XOfPixels(s, image.Native.size(), units), image.Native};
    if (normalise) {
      if (&image == &s.Cal) return;
      if (auto y = Normalised(s, NativeOfPixels(s, image.Native.size()), image.Native)) curve.y = *std::move(y);
    } else if (&image == &s.Object && units != ViewUnits::Pixel) {
      if (auto relative = ObjectRelativeFlux(s, NativeOfPixels(s, image.Native.size()), image.Native)) {
        const auto from = curve.x.begin() + static_cast<std::ptrdiff_t>(relative->first);
        curve.x = std::vector<double>(from, from + static_cast<std::ptrdiff_t>(relative->values.size()));
        curve.y = std::move(relative->values);
        relativeFlux = true;
      }
    }
    plot.curves.push_back(std::move(curve));
  };
  add(s.Object, s.View.showObject, "Object");
  add(s.Cal, s.View.showLamp, "Lamp");
  const std::size_t frames = plot.curves.size();
  plot.legend = units != ViewUnits::Pixel && !s.Overlays.empty();  // names the spectra from files
  if (units != ViewUnits::Pixel) {
    for (const OverlaySpectrum& o : s.Overlays) {
      PlotCurve curve{FileName(o.name), CurveColour(index++), {}, o.flux};
      for (const double w : o.wavelength) curve.x.push_back(ShownX(s, w, units));
      if (normalise)
        if (auto y = Normalised(s, o.wavelength, o.flux)) curve.y = *std::move(y);
      plot.curves.push_back(std::move(curve));
    }
  }
  // Frames count; spectra from files alone have the flux of the first.
  if (frames == 0 && !s.Overlays.empty())
    plot.yLabel = s.Overlays.front().fluxUnit.empty() ? "Flux" : "Flux (" + s.Overlays.front().fluxUnit + ")";
  if (relativeFlux) plot.yLabel = "Relative flux";
  if (normalise) plot.yLabel = "Normalised flux";
  if (plot.curves.empty()) {
    plot.message = AnyImage(s) ? "Calibrate to see the opened spectra on a wavelength axis"
                               : "Load an image or open a spectrum to see it here";
    return c;
  }
  c.empty = false;

  // The extent of every curve, and the least range a zoom reaches.
  double lo = INFINITY, hi = -INFINITY, step = INFINITY;
  for (const PlotCurve& curve : plot.curves) {
    for (const double x : curve.x)
      if (std::isfinite(x)) lo = std::min(lo, x), hi = std::max(hi, x);
    if (curve.x.size() > kLeastSamples)
      step = std::min(step, std::fabs(curve.x[kLeastSamples] - curve.x[0]));
  }
  c.extent = {lo, hi, std::isfinite(step) ? step : 0};
  const ViewRange range = s.View.from && s.View.to ? ClampRange({*s.View.from, *s.View.to}, c.extent)
                                                   : ResetRange(c.extent);
  plot.xFrom = range.from;
  plot.xTo = range.to;

  // Opened spectra scaled to the first frame's spectrum over the range shown.
  if (s.View.scaleOverlays && frames > 0 && !normalise) {
    const double reference = MostWithin(plot.curves.front(), range.from, range.to);
    for (std::size_t i = frames; i < plot.curves.size(); ++i) {
      const double most = MostWithin(plot.curves[i], range.from, range.to);
      if (!(most > 0 && reference > 0 && std::isfinite(reference / most))) continue;
      for (double& y : plot.curves[i].y) y *= reference / most;
    }
  }

  // The table's lines at their centroids; once calibrated, the loaded list's
  // where the calibration puts them.
  for (const CalibrationLine& line : s.Lines)
    plot.markers.push_back({XOfPixel(s, line.column, units),
                            FormatNumber(line.wavelength, "0.000") + (line.label.empty() ? "" : " " + line.label),
                            MarkerKind::TableLine});
  const std::vector<ListLine> list = s.Lamp.names.empty() ? s.IdentifyList : LampListLines(s);
  if (s.CalibrationDone && frames > 0 && !list.empty()) {
    const std::vector<double> angstrom = XOfPixels(s, GraphedImage(s).Native.size(), ViewUnits::Angstrom);
    const auto [least, most] = std::minmax_element(angstrom.begin(), angstrom.end());
    for (const ListLine& l : list) {
      if (angstrom.empty() || l.wavelength < *least || l.wavelength > *most) continue;
      const double x = units == ViewUnits::Pixel ? IndexOf(angstrom, l.wavelength) + 1
                                                 : ShownX(s, l.wavelength, units);
      plot.markers.push_back({x, ShortestText(l.wavelength), MarkerKind::ListLine});
    }
  }
  if (s.LastFit && s.LastFit->lines.size() == s.Lines.size()) {
    plot.residualLabel = "Residual (\u00c5)";
    for (std::size_t i = 0; i < s.Lines.size(); ++i) {
      const LineResidual& r = s.LastFit->lines[i];
      plot.residuals.push_back(
          {XOfPixel(s, s.Lines[i].column, units), r.residual, r.used && !r.clipped});
    }
  }
  if (GraphedImage(s).Loaded != kFalse) plot.cursor = XOfPixel(s, CursorDetectorPixel(s), units);
  // Beyond the fit's lines by more than the share allowed: shaded as extrapolated.
  if (s.FitInForce && !s.FitFromMarks && frames > 0 && units != ViewUnits::Pixel) {
    const FittedCalibration& fit = *s.FitInForce;
    const double reach = kExtrapolationShare * fit.pixels;
    const int length = static_cast<int>(GraphedImage(s).Native.size());
    if (Extrapolated(fit, 1))
      plot.extrapolated.emplace_back(XOfPixel(s, 1, units), XOfPixel(s, fit.firstLine - reach, units));
    if (Extrapolated(fit, length))
      plot.extrapolated.emplace_back(XOfPixel(s, fit.lastLine + reach, units), XOfPixel(s, length, units));
  }
  // The measuring row's marks: the continuum ranges, each measured line's
  // centre, and the last one's region and fitted profile.
  if (units != ViewUnits::Pixel) {
    for (const auto& [from, to] : s.View.continuum)
      plot.continuum.emplace_back(ShownX(s, from, units), ShownX(s, to, units));
    for (const MeasuredLine& m : s.Measurements) {
      const double x = ShownX(s, m.centreNative, units);
      plot.markers.push_back({x, FormatNumber(x, "0.000"), MarkerKind::Measured});
    }
    if (!s.Measurements.empty()) {
      const MeasuredLine& last = s.Measurements.back();
      plot.measured.emplace(ShownX(s, last.regionNative.first, units), ShownX(s, last.regionNative.second, units));
      if (last.normalised == normalise) {
        for (const double w : last.fitNative) plot.fitX.push_back(ShownX(s, w, units));
        plot.fitY = last.fitY;
      }
    }
  }
  return c;
}

namespace {

std::string RangeText(double v, ViewUnits units) {
  const double step = units == ViewUnits::Pixel ? 10 : 100;
  return ShortestText(std::round(v * step) / step);
}

// Moves the cursor to detector pixel `pixel`: the scroll bar to the overview
// column that holds it (its own handler runs when it moves), then the pixel itself.
void SetCursorPixel(Program& app, int pixel) {
  AppState& s = app.s;
  const CameraImage& image = GraphedImage(s);
  if (image.Loaded == kFalse) return;
  const int length = static_cast<int>(image.Native.size());
  pixel = std::clamp(pixel, 1, std::max(length, 1));
  app.w.SetValue(Control::hsbspectra, ColumnOfPixel(image.Detector, pixel, image.Width));
  if (!image.Detector.frame || pixel == s.CursorDetectorPixel) return;
  s.CursorDetectorPixel = pixel;
  app.DrawGraph();
  ShowCursorReadout(app);
}

}  // namespace

void RedrawSpectrumView(Program& app) {
  AppState& s = app.s;
  if (!s.View.opened) return;
  const ViewContents c = ContentsOfView(s);
  const ViewUnits units = ShownUnits(s);
  ViewControls controls{units, {}, {}, s.View.showObject, s.View.showLamp, s.View.scaleOverlays,
                        MeasureControlsOf(s)};
  if (!c.empty) {
    controls.fromText = RangeText(c.plot.xFrom, units);
    controls.toText = RangeText(c.plot.xTo, units);
  }
  app.w.SetSpectrumViewControls(controls);
  app.w.SetSpectrumView(DrawSpectrumPlot(c.plot, s.View.width, s.View.height));
}

void viewSpectrum_Click(Program& app) {
  AppState& s = app.s;
  const WindowViews::ViewSize size = app.w.SpectrumViewSize();
  s.View.width = size.width;
  s.View.height = size.height;
  s.View.opened = true;
  RedrawSpectrumView(app);
  app.w.ShowSpectrumView();
}

void SpectrumView_Input(Program& app, const ViewInput& input) {
  AppState& s = app.s;
  SpectrumViewState& v = s.View;
  if (!v.opened) return;
  const ViewContents c = ContentsOfView(s);
  const ViewUnits units = ShownUnits(s);
  const PlotPicture picture = DrawSpectrumPlot(c.plot, v.width, v.height);
  const ViewRange shown{c.plot.xFrom, c.plot.xTo};
  const auto keep = [&v](ViewRange r) {
    v.from = r.from;
    v.to = r.to;
  };
  using K = ViewInput::Kind;
  switch (input.kind) {
    case K::Resize:
      v.width = std::max(input.width, 1);
      v.height = std::max(input.height, 1);
      break;
    case K::Click:
      if (c.empty) break;
      SetCursorPixel(app, static_cast<int>(std::lround(PixelOfX(s, ValueAtPixel(picture.area, input.x), units))));
      break;
    case K::Wheel:
      if (!c.empty)
        keep(ZoomAbout(shown, std::pow(kWheelZoom, input.steps), ValueAtPixel(picture.area, input.x), c.extent));
      break;
    case K::Box:
      if (!c.empty && v.drag != DragMode::Zoom) {
        MeasureView_Input(app, input);
      } else if (!c.empty)
        keep(ZoomToBox(ValueAtPixel(picture.area, input.x), ValueAtPixel(picture.area, input.x2), c.extent));
      break;
    case K::Key:
      if (c.empty) break;
      switch (input.key) {
        case ViewKey::PanLeft: keep(PanBy(shown, -kKeyPan, c.extent)); break;
        case ViewKey::PanRight: keep(PanBy(shown, kKeyPan, c.extent)); break;
        case ViewKey::ZoomIn: keep(ZoomAbout(shown, kKeyZoom, (shown.from + shown.to) / 2, c.extent)); break;
        case ViewKey::ZoomOut: keep(ZoomAbout(shown, 1 / kKeyZoom, (shown.from + shown.to) / 2, c.extent)); break;
        case ViewKey::Reset: v.from.reset(), v.to.reset(); break;
      }
      break;
    case K::Range: {
      const std::optional<double> from = ParseDecimal(input.fromText), to = ParseDecimal(input.toText);
      if (!from || !to || *from == *to) {
        app.w.MessageBox("The range must be two different numbers in the axis's units - range unchanged!");
        break;
      }
      if (!c.empty) keep(ClampRange({std::min(*from, *to), std::max(*from, *to)}, c.extent));
      break;
    }
    case K::Units: {
      const ViewUnits before = units;
      v.units = input.units;
      const ViewUnits after = ShownUnits(s);
      // The same stretch of spectrum in the new units.
      if (!c.empty && before != after && v.from && v.to) {
        const double a = XOfPixel(s, PixelOfX(s, *v.from, before), after);
        const double b = XOfPixel(s, PixelOfX(s, *v.to, before), after);
        v.from = std::min(a, b);
        v.to = std::max(a, b);
      }
      break;
    }
    case K::Reset:
      v.from.reset();
      v.to.reset();
      break;
    case K::Show:
      v.showObject = input.showObject;
      v.showLamp = input.showLamp;
      v.scaleOverlays = input.scaleOverlays;
      break;
    case K::Drag:
    case K::Profile:
    case K::Rest:
    case K::Shift:
    case K::ShiftToRest:
    case K::Normalise:
    case K::ClearContinuum:
    case K::Medium:
      MeasureView_Input(app, input);
      break;
  }
  RedrawSpectrumView(app);
}

}  // namespace lxr4
