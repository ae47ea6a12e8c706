// The automatic calibration's handlers: the lamp, Calibrate Automatically,
// Re-identify on This Lamp, and the warnings of a calibration used where it
// was not measured. Thin glue over auto_identify.h and model_choice.h.
#include "calibration/lamp_handlers.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/grid.h"
#include "base/num.h"
#include "base/number_text.h"
#include "calibration/arc_shift.h"
#include "calibration/auto_identify.h"
#include "calibration/detector.h"
#include "calibration/lamp_frame.h"
#include "calibration/lamps.h"
#include "calibration/line_handlers.h"
#include "calibration/line_set.h"
#include "calibration/line_table_text.h"
#include "calibration/model_choice.h"
#include "calibration/reidentify.h"

namespace lxr4 {

namespace {
// Names offered in the Lamp dialog: the gases, then the loaded list files.
std::vector<std::string> OfferedNames(const AppState& s) {
  std::vector<std::string> names(kLampGases.begin(), kLampGases.end());
  for (const NamedLineList& list : s.LoadedLists) names.push_back(list.name);
  return names;
}

std::string LampText(const LampChoice& lamp) {
  std::string names;
  for (const std::string& name : lamp.names) names += (names.empty() ? "" : " + ") + name;
  return names;
}

// A typed number, or nullopt.
std::optional<double> Number(const std::string& text) {
  const std::optional<double> v = ParseDecimal(text);
  return v && std::isfinite(*v) ? v : std::nullopt;
}

// The start typed in the dialog, or the message that refuses it.
struct TypedStart {
  std::optional<AutoIdentifyStart> start;
  std::string problem;
};
TypedStart StartOf(const AutoStartFields& f) {
  const std::optional<double> centre = Number(f.centre), dispersion = Number(f.dispersion),
                              tolerance = Number(f.tolerance);
  if (!centre || *centre < kMinLineWavelength || *centre > kMaxLineWavelength)
    return {std::nullopt, "The central wavelength must be a number from " + ShortestText(kMinLineWavelength) +
                              " to " + ShortestText(kMaxLineWavelength) + " Angstroms."};
  if (!dispersion || *dispersion == 0 || std::fabs(*dispersion) > 1000)
    return {std::nullopt,
            "The dispersion must be a number of Angstroms per pixel other than 0 (negative when the "
            "wavelength falls as the pixel rises), at most 1000."};
  if (!tolerance || *tolerance < 1 || *tolerance > 50)
    return {std::nullopt, "The tolerance must be a number from 1 to 50 percent."};
  return {AutoIdentifyStart{.centralWavelength = *centre, .dispersion = *dispersion, .tolerance = *tolerance / 100}, ""};
}

// Where the identification starts from the calibration in force: a fit or
// calibration file as it stands; the two marked lines as the straight line
// through them (the grating solve of two lines may be far off on another
// spectrograph), with the default tolerance.
std::optional<AutoIdentifyStart> StartInForce(const AppState& s) {
  const std::optional<FittedCalibration> inForce = CalibrationInForce(s);
  if (!inForce) return std::nullopt;
  AutoIdentifyStart start;
  const double p1 = s.Line1Pixel.AsDouble(), p2 = s.Line2Pixel.AsDouble();
  const double w1 = s.Line1Wavelength.AsDouble(), w2 = s.Line2Wavelength.AsDouble();
  const bool twoMarks = !(s.FitInForce && !s.FitFromMarks) && std::fabs(p2 - p1) >= 1 && std::isfinite(w1) &&
                        std::isfinite(w2);
  if (!twoMarks) {  // the calibration as it stands
    start.calibration = [c = *inForce](double pixel) { return double{FittedWavelength(c, pixel)}; };
    return start;
  }
  start.dispersion = (w2 - w1) / (p2 - p1);
  start.centralWavelength = w1 + start.dispersion * ((DetectorPixels(s) + 1) / 2.0 - p1);
  return start;
}

// Where an image's pixels lie, without its spectrum: all a geometry check needs.
LampFrame GeometryOf(const CameraImage& image) {
  LampFrame frame;
  // A camera image is the 768 columns its calibration counts, however many it fills.
  frame.length = image.Detector.frame ? image.Detector.length : kGridColumns;
  frame.first = image.Detector.first;
  // A frame's full-resolution spectrum is unbinned: its overview's binning is no part of its geometry.
  frame.bin = 1;
  if (image.Detector.frame) frame.axis = image.Detector.alongColumns ? "columns" : "rows";
  return frame;
}
}  // namespace

void WarnOfCalibration(Program& app) {
  if (const std::string warning = CalibrationWarning(app.s); !warning.empty()) app.w.MessageBox(warning);
}

LampFrame FrameOf(const CameraImage& image) {
  LampFrame frame = GeometryOf(image);
  frame.file = image.FileName;
  frame.arc = image.Native;
  frame.arc.resize(static_cast<std::size_t>(std::max(frame.length, 0)), 0.0);
  return frame;
}

std::vector<ListLine> LampListLines(const AppState& s) {
  std::vector<std::vector<ListLine>> lists;
  for (const std::string& name : s.Lamp.names) {
    if (std::find(kLampGases.begin(), kLampGases.end(), name) != kLampGases.end()) {
      lists.push_back(LampLines(name));
      continue;
    }
    for (const NamedLineList& list : s.LoadedLists)
      if (list.name == name) lists.push_back(list.lines);
  }
  return MergeLampLines(lists, s.Lamp.vacuum);
}

std::optional<AutoIdentifyResult> IdentifyWithLamp(const AppState& s) {
  const std::optional<AutoIdentifyStart> start = StartInForce(s);
  if (!start) return std::nullopt;
  return AutoIdentifyLines(s.Cal.Native, LampListLines(s), *start);
}

std::string FrameWarning(const AppState& s) {
  if (!s.CalibrationDone || !s.CalibrationFrame) return "";
  const CameraImage& image = GraphedImage(s);
  const LampFrame now = GeometryOf(image);
  if (image.Loaded == kFalse || SameGeometry(*s.CalibrationFrame, now.length, now.first, now.bin)) return "";
  return GeometryWarning(*s.CalibrationFrame, now.length, now.first, now.bin, now.axis) +
         " Its wavelengths are not calibrated for this frame.";
}

std::string CalibrationWarning(const AppState& s) {
  if (std::string frame = FrameWarning(s); !frame.empty()) return frame;
  if (s.CalibrationDone && s.FitInForce && !s.FitFromMarks) return ExtrapolationWarning(*s.FitInForce);
  return "";
}

std::string LampMovedWarning(const AppState& s) {
  if (!s.CalibrationDone || !s.FitInForce || s.FitFromMarks || !s.CalibrationFrame) return "";
  const LampFrame& made = *s.CalibrationFrame;
  const LampFrame now = FrameOf(s.Cal);
  if (s.Cal.Loaded == kFalse || made.arc.empty() || !SameGeometry(made, now.length, now.first, now.bin)) return "";
  const ArcShift moved = MeasureArcShift(made.arc, now.arc);
  const double most = std::max(std::fabs(moved.shift), std::fabs(moved.stretch - 1) * made.length / 2);
  if (!moved.ok || most < kLampMovedPixels) return "";
  return "This lamp's lines lie " + FormatNumber(moved.shift, "0.00") +
         " pixels from those of the lamp the calibration was made on: choose Calibration > Re-identify on "
         "This Lamp to follow them.";
}

std::string ReadoutWarning(const AppState& s, double pixel) {
  if (!FrameWarning(s).empty()) return "not calibrated for this frame";
  if (s.FitInForce && !s.FitFromMarks && Extrapolated(*s.FitInForce, pixel)) return "(extrapolated)";
  return "";
}

void lamp_Click(Program& app) {
  AppState& s = app.s;
  const std::optional<LampFields> chosen = app.w.LampDialog({OfferedNames(s), s.Lamp.names, s.Lamp.vacuum});
  if (!chosen) return;
  s.Lamp = {chosen->chosen, chosen->vacuum};
  if (s.Lamp.names.empty())
    return app.w.SetCaption(Control::Lblwavelength, "No lamp chosen:\r\nIdentify Lines takes the list\r\nloaded last");
  app.w.SetCaption(Control::Lblwavelength, "Lamp: " + LampText(s.Lamp) + "\r\n" +
                                               std::to_string(LampListLines(s).size()) + " lines, " +
                                               (s.Lamp.vacuum ? "vacuum" : "air") + " wavelengths");
}

void autoCalibrate_Click(Program& app) {
  AppState& s = app.s;
  if (s.Cal.Loaded == kFalse) return app.w.MessageBox("Load the calibration image first!");
  if (s.Lamp.names.empty())
    return app.w.MessageBox("Choose the gases of the lamp first (Calibration > Lamp...)!");
  std::optional<AutoIdentifyStart> start = StartInForce(s);
  AutoStartFields shown = s.AutoStart;
  while (!start) {
    const std::optional<AutoStartFields> typed = app.w.AutoStartDialog(shown);
    if (!typed) return;
    const TypedStart read = StartOf(*typed);
    if (read.start) {
      s.AutoStart = *typed;
      start = read.start;
    } else {
      app.w.MessageBox(read.problem);
      shown = *typed;
    }
  }
  const AutoIdentifyResult found = AutoIdentifyLines(s.Cal.Native, LampListLines(s), *start);
  if (!found.ok()) return app.w.MessageBox(found.message + " - calibration unchanged!");
  const ModelChoice choice = ChooseModel(found.lines, s.Instrument, FitPixelWidth(s), DetectorFitOptions(s, true));
  if (const std::optional<std::string> problem = AutomaticFitProblem(choice.fit))
    return app.w.MessageBox("No calibration: " + *problem + " - calibration unchanged!");
  if (LinesUnsaved(s) && !app.w.Ask("The lines in the table have not been saved. Replace them with the " +
                                        std::to_string(found.lines.size()) + " lines found?",
                                    Buttons::YesNo))
    return;
  s.Lines = found.lines;
  s.LastFit = choice.fit;
  PutInForce(app, choice.fit.calibration);
  s.CalibrationFrame = FrameOf(s.Cal);
  ShowTable(app);
  app.w.SetCaption(Control::Lblwavelength, "Calibrated automatically:\r\n" + FitSummary(choice.fit) +
                                               "\r\nin force (" + std::to_string(found.linesOffered) +
                                               " lamp lines on the detector)");
  WarnOfCalibration(app);
}

void reidentify_Click(Program& app) {
  AppState& s = app.s;
  const std::optional<FittedCalibration> inForce = CalibrationInForce(s);
  if (!inForce)
    return app.w.MessageBox("Re-identify needs a calibration: open a saved calibration or calibrate first!");
  if (!s.CalibrationFrame || s.CalibrationFrame->arc.empty())
    return app.w.MessageBox(
        "This calibration does not keep the lamp it was made on: calibrate this lamp instead!");
  if (s.Cal.Loaded == kFalse) return app.w.MessageBox("Load the new lamp's image first!");
  // The lines the calibration was made with, as they stand in the table: a
  // lamp's whole list is denser than a calibration a pixel off needs, and
  // its lines that were not found then are likely faint or blended now. The
  // lamp's lines only when the table holds none.
  std::vector<ListLine> list;
  for (const CalibrationLine& line : s.Lines)
    if (line.used) list.push_back({line.wavelength, line.label});
  if (list.empty()) list = LampListLines(s);
  const ReidentifyResult moved = Reidentify(*inForce, s.CalibrationFrame->arc, s.Cal.Native, list);
  if (!moved.ok()) return app.w.MessageBox(moved.message + " - calibration unchanged!");
  const LineSet& lines = moved.identification.lines;
  // The model in force, fitted again; another only when it can no longer be made.
  FitOptions options = DetectorFitOptions(s, true);
  options.clipFloor = AutomaticClipFloor(lines);
  FitResult fit = inForce->kind == FitKind::Polynomial && !s.FitFromMarks
                      ? FitPolynomial(lines, inForce->polynomial.order, options)
                      : FitResult::Refused(FitError::BadOrder, "");
  if (!fit.ok()) fit = ChooseModel(lines, s.Instrument, FitPixelWidth(s), options).fit;
  if (const std::optional<std::string> problem = AutomaticFitProblem(fit))
    return app.w.MessageBox("No calibration: " + *problem + " - calibration unchanged!");
  if (LinesUnsaved(s) && !app.w.Ask("The lines in the table have not been saved. Replace them with the " +
                                        std::to_string(lines.size()) + " lines found on this lamp?",
                                    Buttons::YesNo))
    return;
  s.Lines = lines;
  s.LastFit = fit;
  PutInForce(app, fit.calibration);
  s.CalibrationFrame = FrameOf(s.Cal);
  s.CalibrationShift = moved.shift.shift;
  ShowTable(app);
  app.w.SetCaption(Control::Lblwavelength, "Re-identified: the lamp moved " +
                                               FormatNumber(moved.shift.shift, "0.00") + " pixels\r\n" +
                                               FitSummary(fit) + "\r\nin force");
  WarnOfCalibration(app);
}

}  // namespace lxr4
