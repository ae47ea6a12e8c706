#include "script/state_query.h"

#include <array>
#include <functional>

#include "base/quoted_text.h"
#include "base/number_text.h"
#include "calibration/detector.h"
#include "calibration/lamp_handlers.h"
#include "calibration/line_handlers.h"
#include "calibration/line_table_text.h"
#include "app/view_contents.h"

namespace lxr4 {

namespace {

std::string FlagText(Flag f) { return std::to_string(f); }
std::string BoolText(bool b) { return b ? "true" : "false"; }

// A figure and its uncertainty, to a tenth of a thousandth: "6562.8012 0.0040".
std::string MastersText(const AppState::NightReduction& n) {
  std::string text;
  for (const auto& [master, name] : {std::pair{&n.bias, "bias"}, std::pair{&n.darkRate, "dark"}, std::pair{&n.flat, "flat"}})
    if (*master) text += (text.empty() ? "" : " ") + std::string(name);
  return text.empty() ? "none" : text;
}
std::string StepsText(const std::vector<std::string>& steps) {
  std::string text;
  for (const std::string& step : steps) text += (text.empty() ? "" : " | ") + step;
  return Quoted(text);
}
std::string ApertureText(const ApertureDrawing& a) {
  if (a.centre.empty()) return "none";
  return FormatNumber(a.centre[a.centre.size() / 2], "0.00") + " " + FormatNumber(a.halfWidth, "0.00") + " " +
         FormatNumber(a.skyInner, "0.00") + " " + FormatNumber(a.skyOuter, "0.00");
}
std::string FigureText(const Measured& m) { return FormatNumber(m.value, "0.0000") + " " + FormatNumber(m.error, "0.0000"); }
std::string LastMeasured(const AppState& s, Measured MeasuredLine::*figure) {
  return s.Measurements.empty() ? "none" : FigureText(s.Measurements.back().*figure);
}

struct Scalar {
  std::string_view name;
  std::string (*text)(const AppState&);
};

// Every scalar field, under its design name.
const std::array kScalars{
    Scalar{"ObjectWidth", [](const AppState& s) { return std::to_string(s.Object.Width); }},
    Scalar{"CalWidth", [](const AppState& s) { return std::to_string(s.Cal.Width); }},
    Scalar{"ObjectHeight", [](const AppState& s) { return s.Object.Height.Text(); }},
    Scalar{"CalHeight", [](const AppState& s) { return s.Cal.Height.Text(); }},
    Scalar{"ObjectBackground", [](const AppState& s) { return s.Object.Background.Text(); }},
    Scalar{"CalBackground", [](const AppState& s) { return s.Cal.Background.Text(); }},
    Scalar{"ObjectRange", [](const AppState& s) { return s.Object.Range.Text(); }},
    Scalar{"CalRange", [](const AppState& s) { return s.Cal.Range.Text(); }},
    Scalar{"ObjectOriginX", [](const AppState& s) { return s.Object.OriginX.Text(); }},
    Scalar{"CalOriginX", [](const AppState& s) { return s.Cal.OriginX.Text(); }},
    Scalar{"ObjectOriginY", [](const AppState& s) { return std::to_string(s.Object.OriginY); }},
    Scalar{"CalOriginY", [](const AppState& s) { return std::to_string(s.Cal.OriginY); }},
    Scalar{"ObjectFileName", [](const AppState& s) { return Quoted(s.Object.FileName); }},
    Scalar{"CalFileName", [](const AppState& s) { return Quoted(s.Cal.FileName); }},
    Scalar{"ObjectCaption", [](const AppState& s) { return Quoted(s.Object.Caption); }},
    Scalar{"CalCaption", [](const AppState& s) { return Quoted(s.Cal.Caption); }},
    Scalar{"ObjectLoaded", [](const AppState& s) { return FlagText(s.Object.Loaded); }},
    Scalar{"CalLoaded", [](const AppState& s) { return FlagText(s.Cal.Loaded); }},
    Scalar{"DataCropTop", [](const AppState& s) { return std::to_string(s.Object.CropTop); }},
    Scalar{"DataCropBottom", [](const AppState& s) { return std::to_string(s.Object.CropBottom); }},
    Scalar{"CalCropTop", [](const AppState& s) { return std::to_string(s.Cal.CropTop); }},
    Scalar{"CalCropBottom", [](const AppState& s) { return std::to_string(s.Cal.CropBottom); }},
    Scalar{"PixelWidth", [](const AppState& s) { return s.PixelWidth.Text(); }},
    Scalar{"PixelHeight", [](const AppState& s) { return s.PixelHeight.Text(); }},
    Scalar{"SelectedFileName", [](const AppState& s) { return Quoted(s.SelectedFileName); }},
    Scalar{"SpectrumLength", [](const AppState& s) { return std::to_string(s.SpectrumLength); }},
    Scalar{"SpectrumMax", [](const AppState& s) { return std::to_string(s.SpectrumMax); }},
    Scalar{"SpectrumMin", [](const AppState& s) { return std::to_string(s.SpectrumMin); }},
    Scalar{"CalGraphShown", [](const AppState& s) { return FlagText(s.CalGraphShown); }},
    Scalar{"LinearGraph", [](const AppState& s) { return BoolText(s.LinearGraph); }},
    Scalar{"LogGraph", [](const AppState& s) { return BoolText(s.LogGraph); }},
    Scalar{"AutoscaledGraph", [](const AppState& s) { return BoolText(s.AutoscaledGraph); }},
    // one of the four style booleans, answered in the flag form scripts have always read
    Scalar{"PushedGraph", [](const AppState& s) { return FlagText(s.PushedGraph ? kTrue : kFalse); }},
    // A FITS frame's cursor is a detector pixel; a camera image's, its column.
    Scalar{"CursorPixel",
           [](const AppState& s) {
             return GraphedDetector(s).frame ? std::to_string(CursorDetectorPixel(s)) : s.CursorPixel.Text();
           }},
    Scalar{"CalNativeWidth", [](const AppState& s) { return std::to_string(s.Cal.Native.size()); }},
    Scalar{"ObjectNativeWidth", [](const AppState& s) { return std::to_string(s.Object.Native.size()); }},
    Scalar{"OverlayCount", [](const AppState& s) { return std::to_string(s.Overlays.size()); }},
    Scalar{"CursorTickPixel", [](const AppState& s) { return std::to_string(s.CursorTickPixel); }},
    Scalar{"CentroidWidth", [](const AppState& s) { return s.CentroidWidth.Text(); }},
    Scalar{"LastCentroidWidth", [](const AppState& s) { return s.LastCentroidWidth.Text(); }},
    Scalar{"SelectedLineWavelength", [](const AppState& s) { return s.SelectedLineWavelength.Text(); }},
    Scalar{"Line1Wavelength", [](const AppState& s) { return s.Line1Wavelength.Text(); }},
    Scalar{"Line2Wavelength", [](const AppState& s) { return s.Line2Wavelength.Text(); }},
    Scalar{"Line1Pixel", [](const AppState& s) { return s.Line1Pixel.Text(); }},
    Scalar{"Line2Pixel", [](const AppState& s) { return s.Line2Pixel.Text(); }},
    Scalar{"LineCentroid", [](const AppState& s) { return ShortestText(s.LineCentroid); }},
    Scalar{"FocalLength", [](const AppState& s) { return s.FocalLength.Text(); }},
    Scalar{"AlphaAngle", [](const AppState& s) { return s.AlphaAngle.Text(); }},
    Scalar{"BetaAngle", [](const AppState& s) { return s.BetaAngle.Text(); }},
    Scalar{"GrooveSpacing", [](const AppState& s) { return s.GrooveSpacing.Text(); }},
    Scalar{"GammaAngle", [](const AppState& s) { return s.GammaAngle.Text(); }},
    Scalar{"DegreesPerRadian", [](const AppState& s) { return ShortestText(s.DegreesPerRadian); }},
    Scalar{"WavelengthDescending", [](const AppState& s) { return FlagText(s.WavelengthDescending); }},
    Scalar{"FocalLengthFitted", [](const AppState& s) { return BoolText(s.FocalLengthFitted); }},
    Scalar{"CalibrationDone", [](const AppState& s) { return BoolText(s.CalibrationDone); }},
    Scalar{"ReadoutPixel", [](const AppState& s) { return s.ReadoutPixel.Text(); }},
    Scalar{"ReadoutWavelength", [](const AppState& s) { return s.ReadoutWavelength.Text(); }},
    // The calibration over many lines: the instrument settings, the line
    // table, the last fit made (0 and "" before any) and the calibration in force.
    Scalar{"GrooveDensity", [](const AppState& s) { return ShortestText(s.Instrument.grooveDensity); }},
    Scalar{"DeviationAngle", [](const AppState& s) { return ShortestText(s.Instrument.deviationAngle); }},
    Scalar{"ReferenceColumn", [](const AppState& s) { return ShortestText(s.Instrument.referenceColumn); }},
    Scalar{"Correction", [](const AppState& s) { return BoolText(s.Instrument.correction); }},
    Scalar{"PixelSize",
           [](const AppState& s) {
             return s.Instrument.pixelSize ? ShortestText(*s.Instrument.pixelSize) : Quoted("");
           }},
    Scalar{"LineCount", [](const AppState& s) { return std::to_string(s.Lines.size()); }},
    Scalar{"FitRms", [](const AppState& s) { return s.LastFit ? ShortestText(s.LastFit->rms) : "0"; }},
    Scalar{"FitLinesUsed",
           [](const AppState& s) { return std::to_string(s.LastFit ? s.LastFit->linesUsed : 0); }},
    Scalar{"FitLinesTotal",
           [](const AppState& s) { return std::to_string(s.LastFit ? s.LastFit->linesTotal : 0); }},
    Scalar{"FitModel",
           [](const AppState& s) { return Quoted(s.LastFit ? FitModelName(s.LastFit->calibration) : ""); }},
    Scalar{"CalibrationModel", [](const AppState& s) { return Quoted(CalibrationModelName(s)); }},
    // The automatic calibration: the last fit's rms in detector pixels, its
    // lines' share of the detector and its polynomial order (0 for the
    // grating model or none); the warning of the calibration in force; the
    // last re-identification's shift; the lamp's gases and lists.
    Scalar{"FitRmsPixels", [](const AppState& s) { return s.LastFit ? ShortestText(s.LastFit->rmsPixels) : "0"; }},
    Scalar{"FitCoverage", [](const AppState& s) { return s.LastFit ? ShortestText(s.LastFit->coverage) : "0"; }},
    Scalar{"FitOrder",
           [](const AppState& s) {
             const bool polynomial = s.LastFit && s.LastFit->calibration.kind == FitKind::Polynomial;
             return std::to_string(polynomial ? s.LastFit->calibration.polynomial.order : 0);
           }},
    Scalar{"CalibrationWarning", [](const AppState& s) { return Quoted(CalibrationWarning(s)); }},
    Scalar{"CalibrationShift", [](const AppState& s) { return ShortestText(s.CalibrationShift); }},
    Scalar{"LampLists",
           [](const AppState& s) {
             std::string names;
             for (const std::string& name : s.Lamp.names) names += (names.empty() ? "" : " ") + name;
             return Quoted(names);
           }},
    // The line measured last: each figure and its uncertainty; "none" before one.
    Scalar{"MeasureCount", [](const AppState& s) { return std::to_string(s.Measurements.size()); }},
    Scalar{"MeasureCentre", [](const AppState& s) { return LastMeasured(s, &MeasuredLine::centre); }},
    Scalar{"MeasureCentroid", [](const AppState& s) { return LastMeasured(s, &MeasuredLine::centroid); }},
    Scalar{"MeasureFwhm", [](const AppState& s) { return LastMeasured(s, &MeasuredLine::fwhm); }},
    Scalar{"MeasurePeak", [](const AppState& s) { return LastMeasured(s, &MeasuredLine::peak); }},
    Scalar{"MeasureFlux", [](const AppState& s) { return LastMeasured(s, &MeasuredLine::flux); }},
    Scalar{"MeasureSnr", [](const AppState& s) { return LastMeasured(s, &MeasuredLine::snr); }},
    Scalar{"MeasureEw",
           [](const AppState& s) {
             return s.Measurements.empty() || !s.Measurements.back().equivalentWidth
                        ? std::string("none")
                        : FigureText(*s.Measurements.back().equivalentWidth);
           }},
    // Corrected to the barycentre when the correction is known.
    Scalar{"RadialVelocity",
           [](const AppState& s) {
             if (s.Measurements.empty() || !s.Measurements.back().velocity) return std::string("none");
             const MeasuredLine& m = s.Measurements.back();
             return FigureText({ReportedVelocity(m), m.velocity->error});
           }},
    Scalar{"BarycentricCorrection",
           [](const AppState& s) {
             return s.Measurements.empty() || !s.Measurements.back().barycentric
                        ? std::string("none")
                        : FormatNumber(*s.Measurements.back().barycentric, "0.0000");
           }},
    Scalar{"ViewShift", [](const AppState& s) { return ShortestText(s.View.shiftKms); }},
    // The night's reduction: the masters in force, the response's samples, and
    // what the object's load did (its steps, the frames stacked, the aperture's
    // centre on the image's middle column).
    Scalar{"MastersInForce", [](const AppState& s) { return MastersText(s.Night); }},
    Scalar{"ResponsePoints", [](const AppState& s) { return std::to_string(s.Night.responseCurve.size()); }},
    Scalar{"ObjectStacked", [](const AppState& s) { return std::to_string(s.Object.Stacked); }},
    Scalar{"ObjectReduction", [](const AppState& s) { return StepsText(s.Object.Reduction); }},
    Scalar{"CalReduction", [](const AppState& s) { return StepsText(s.Cal.Reduction); }},
    Scalar{"ObjectApertureCentre", [](const AppState& s) { return ApertureText(s.Object.Aperture); }},
};

const Spectrum* FindSpectrum(const AppState& s, std::string_view field) {
  if (field == "CurrentSpectrum") return &s.CurrentSpectrum;
  if (field == "ObjectSpectrum") return &s.ObjectSpectrum;
  if (field == "CalSpectrum") return &s.CalSpectrum;
  return nullptr;
}

const PixelGrid* FindGrid(const AppState& s, std::string_view field) {
  if (field == "ObjectPixels") return &s.Object.Pixels;
  if (field == "CalPixels") return &s.Cal.Pixels;
  return nullptr;
}

bool Within(long long v, long long low, long long high) { return v >= low && v <= high; }

std::string Words(std::string_view field, std::span<const long long> numbers) {
  std::string line = "state " + std::string(field);
  for (const long long n : numbers) line += ' ' + std::to_string(n);
  return line;
}

// The entries first..last of `value`, after the question's own words.
StateAnswer Range(std::string_view field, std::span<const long long> numbers, long long first, long long last,
                  long long limit, const std::function<std::string(int)>& value) {
  if (!Within(first, 1, limit) || !Within(last, first, limit))
    return {{},
            "state " + std::string(field) +
                ": columns must satisfy 1 <= FIRST <= LAST <= " + std::to_string(limit)};
  std::string line = Words(field, numbers);
  for (long long i = first; i <= last; ++i) line += ' ' + value(static_cast<int>(i));
  return {line, {}};
}

}  // namespace

StateAnswer AskState(const AppState& s, std::string_view field, std::span<const long long> numbers) {
  const std::string name(field);
  if (const Spectrum* spectrum = FindSpectrum(s, field)) {
    if (numbers.size() != 2) return {{}, "state " + name + " needs FIRST LAST"};
    return Range(field, numbers, numbers[0], numbers[1], kGridColumns,
                 [spectrum](int column) { return std::to_string((*spectrum)[column]); });
  }
  if (const PixelGrid* grid = FindGrid(s, field)) {
    if (numbers.size() != 3) return {{}, "state " + name + " needs ROW FIRST LAST"};
    const long long row = numbers[0];
    if (!Within(row, 1, kGridRows))
      return {{}, "state " + name + ": ROW must lie in 1.." + std::to_string(kGridRows)};
    return Range(field, numbers, numbers[1], numbers[2], kGridColumns,
                 [grid, row](int column) { return std::to_string(grid->at(column, static_cast<int>(row))); });
  }
  if (field == "CalNativeSpectrum" || field == "ObjectNativeSpectrum") {
    const std::vector<double>& native = field == "CalNativeSpectrum" ? s.Cal.Native : s.Object.Native;
    if (numbers.size() != 2) return {{}, "state " + name + " needs FIRST LAST"};
    if (native.empty()) return {{}, "state " + name + ": no spectrum has been extracted"};
    return Range(field, numbers, numbers[0], numbers[1], static_cast<long long>(native.size()),
                 [&native](int pixel) { return ShortestText(native[static_cast<std::size_t>(pixel - 1)]); });
  }
  for (const Scalar& scalar : kScalars) {
    if (scalar.name != field) continue;
    if (!numbers.empty()) return {{}, "state " + name + " takes no numbers"};
    return {"state " + name + ' ' + scalar.text(s), {}};
  }
  return {{}, "unknown state field \"" + name + "\""};
}

}  // namespace lxr4
