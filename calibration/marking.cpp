// The line and width lists, the centroid at the cursor, and the two line marks.
#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "calibration/captions.h"
#include "calibration/centroid.h"
#include "calibration/detector.h"
#include "calibration/grating_solver.h"
#include "calibration/grating_state.h"
#include "calibration/handlers.h"
#include "calibration/line_handlers.h"
#include "calibration/line_list.h"
#include "calibration/line_set.h"

namespace lxr4 {

namespace {
constexpr std::string_view kManualPrompt = "Enter wavelength of selected line in Angstroms";
constexpr std::string_view kManualTitle = "Manual Wavelength Entry";
constexpr std::string_view kManualDefault = "5460.753";
constexpr std::string_view kNotAWavelength = "Not a valid wavelength - the previous one is kept!";
constexpr std::string_view kSpectrumTooShort = "Spectrum too short for the centroid width!";
constexpr std::string_view kNoLine = "No spectral line found at the cursor!";
constexpr std::string_view kSameLine = "Same spectral line as line 1!";
constexpr std::string_view kTooClose = "Move cursor to new spectral line!";
constexpr std::string_view kLine1First = "Mark line 1 first!";
constexpr std::string_view kCannotFit = "These two lines cannot be fitted - calibration unchanged!";
constexpr std::string_view kCannotRefit = "Line cannot be fitted - line 1 and calibration unchanged!";

// A typed wavelength rounded to single precision, when it is a number a line
// can have. Beyond the limits a solve "succeeds" with focal lengths of 1e-50 mm
// and dispersions of 1e38 A/mm.
std::optional<float> TypedWavelength(std::string_view text) {
  const std::optional<double> value = ParseDecimal(text);
  if (!value || !(*value >= kMinLineWavelength && *value <= kMaxLineWavelength)) return std::nullopt;
  return static_cast<float>(*value);
}
}  // namespace

void cboscale_Click(Program& app) {
  const int index = app.w.SelectedIndex(Control::cboscale);
  if (index >= 0 && index < static_cast<int>(kSpectralLines.size())) {
    app.s.SelectedLineWavelength = kSpectralLines[static_cast<std::size_t>(index)].wavelength;
  } else if (index > kManualEntryIndex &&
             index - kManualEntryIndex - 1 < static_cast<int>(app.s.ListedLines.size())) {
    // An entry of a loaded line list, after the built-in ones.
    app.s.SelectedLineWavelength =
        app.s.ListedLines[static_cast<std::size_t>(index - kManualEntryIndex - 1)].wavelength;
  } else if (index == kManualEntryIndex) {
    const std::optional<std::string> answer = app.w.InputBox(kManualPrompt, kManualTitle, kManualDefault);
    if (!answer) return;  // cancelled: the previous wavelength stands
    const std::optional<float> wavelength = TypedWavelength(*answer);
    if (!wavelength) return app.w.MessageBox(kNotAWavelength);
    app.s.SelectedLineWavelength = *wavelength;
  }
}

void cbobox_Click(Program& app) {
  AppState& s = app.s;
  const int index = app.w.SelectedIndex(Control::cbobox);
  if (index >= 0 && index < static_cast<int>(kCentroidWidths.size()))
    s.CentroidWidth = static_cast<std::int16_t>(kCentroidWidths[static_cast<std::size_t>(index)].width);
  if (s.CentroidWidth.AsDouble() != s.LastCentroidWidth.AsDouble()) {
    app.DrawGraph();
    s.LastCentroidWidth = s.CentroidWidth;
  }
}

namespace {
// The centroid at the cursor: in the graphed spectrum's columns for a camera
// image; at the detector's own pixels for a FITS frame, near the pixels of
// the cursor's column, over the stretch of detector the overview's window of
// that many columns covers (DetectorWindow).
CentroidResult CentroidAtCursor(const AppState& s) {
  const int width = static_cast<int>(s.CentroidWidth.AsDouble());
  const DetectorMap& detector = GraphedDetector(s);
  if (detector.frame)
    return FindLineNear(GraphedImage(s).Native, CursorDetectorPixel(s), (detector.bin - 1) / 2 + width / 2,
                        DetectorWindow(detector, width));
  const auto length = static_cast<std::size_t>(std::clamp<int>(s.SpectrumLength, 0, kGridColumns));
  std::vector<double> columns(length);
  for (std::size_t k = 0; k < length; ++k) columns[k] = s.CurrentSpectrum.values[k + 1];
  return FindCentroid(columns, static_cast<int>(s.CursorPixel.AsDouble()), width);
}
}  // namespace

bool FindLineCentroid(Program& app) {
  AppState& s = app.s;
  const CentroidResult found = CentroidAtCursor(s);
  switch (found.error) {
    case CentroidError::None:
      s.LineCentroid = found.column;
      return true;
    case CentroidError::SpectrumTooShort:
      app.w.MessageBox(kSpectrumTooShort);
      return false;
    case CentroidError::NoLine:
      app.w.MessageBox(kNoLine);
      return false;
    case CentroidError::OutsideWindow:
      app.w.MessageBox(std::string("The centroid falls outside its window of ") +
                       (GraphedDetector(s).frame ? "detector pixels " : "columns ") + std::to_string(found.first) +
                       " to " + std::to_string(found.last) +
                       " - move the cursor onto the line's peak; nothing measured!");
      return false;
  }
  return false;
}

void cmdmarkline1_Click(Program& app) {
  AppState& s = app.s;
  if (!FindLineCentroid(app)) return;
  // After a calibration the new line 1 re-fits the alpha angle; a line that
  // cannot be fitted is not marked.
  const LinePair lines{s.SelectedLineWavelength.AsDouble(), s.LineCentroid, s.Line2Wavelength.AsDouble(),
                       s.Line2Pixel.AsSingle()};
  // A fit in force that the marks did not make stays; line 1 is only marked.
  const bool marksInForce = s.CalibrationDone && (!s.FitInForce || s.FitFromMarks);
  if (s.Instrument != InstrumentSettings{}) {
    // Other instrument settings: the two lines solved again through them.
    if (marksInForce && s.Line2Pixel.IsSet() &&
        !SolveTwoLinesWithSettings(app, lines.wavelength1, lines.pixel1, lines.wavelength2, lines.pixel2))
      return app.w.MessageBox(kCannotRefit);
  } else if (marksInForce && !SolveCalibration(app, lines)) {
    return app.w.MessageBox(kCannotRefit);
  }
  s.Line1Wavelength = s.SelectedLineWavelength;
  s.Line1Pixel = s.LineCentroid;
  app.w.SetCaption(Control::Lblwavelength, MarkCaption(s.LineCentroid));
}

void cmdmarkline2_Click(Program& app) {
  AppState& s = app.s;
  if (!s.Line1Wavelength.IsSet()) return app.w.MessageBox(kLine1First);
  const Num wavelength = s.SelectedLineWavelength;
  if (wavelength.AsDouble() == s.Line1Wavelength.AsDouble()) {
    s.Line2Wavelength = wavelength;
    return app.w.MessageBox(kSameLine);
  }
  if (!FindLineCentroid(app)) return;
  const float pixel = s.LineCentroid;
  if (std::fabs(pixel - s.Line1Pixel.AsSingle()) < 3.0f) {
    s.Line2Wavelength = wavelength;
    s.Line2Pixel = pixel;
    return app.w.MessageBox(kTooClose);
  }

  const LinePair lines{s.Line1Wavelength.AsDouble(), s.Line1Pixel.AsSingle(), wavelength.AsDouble(), pixel};
  if (s.Instrument != InstrumentSettings{}) {
    // Other instrument settings: a grating fit through exactly the two lines.
    if (!SolveTwoLinesWithSettings(app, lines.wavelength1, lines.pixel1, lines.wavelength2, lines.pixel2))
      return app.w.MessageBox(kCannotFit);
    s.Line2Wavelength = wavelength;
    s.Line2Pixel = pixel;
    GratingModel centre = s.FitInForce->grating;
    centre.settings.correction = false;
    return app.w.SetCaption(Control::Lblwavelength,
                            SummaryCaption(s.FocalLength.AsDouble(), s.AlphaAngle.AsDouble(),
                                           GratingWavelength(centre, centre.parameters.referenceColumn),
                                           LineDispersion(lines, centre.pixelWidth)));
  }
  const bool wasFitted = s.FocalLengthFitted;
  s.FocalLengthFitted = false;  // the two-line solve
  if (!SolveCalibration(app, lines)) {
    s.FocalLengthFitted = wasFitted;
    return app.w.MessageBox(kCannotFit);
  }
  s.Line2Wavelength = wavelength;
  s.Line2Pixel = pixel;

  Grating g = GratingOf(s);
  const float reference = ReferenceWavelength(g);
  s.BetaAngle = g.BetaAngle;
  app.w.SetCaption(Control::Lblwavelength,
                   SummaryCaption(s.FocalLength.AsDouble(), s.AlphaAngle.AsDouble(), reference,
                                  LineDispersion(lines, ModelPixelWidth(s))));
}

}  // namespace lxr4
