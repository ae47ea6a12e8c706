// The Calibration menu: instrument settings, the Lines and Residuals table,
// fits over many lines, line lists, Identify Lines and calibration files.
// Thin glue: the arithmetic and the file formats are the pure code of this folder.
#include <algorithm>
#include <functional>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "calibration/detector.h"
#include "calibration/handlers.h"
#include "calibration/calibration_file.h"
#include "calibration/captions.h"
#include "calibration/grating_state.h"
#include "calibration/instrument_fields.h"
#include "calibration/lamp_handlers.h"
#include "calibration/line_handlers.h"
#include "calibration/line_identify.h"
#include "calibration/line_list.h"
#include "calibration/line_list_file.h"
#include "calibration/line_table_text.h"
#include "state/saving.h"

namespace lxr4 {

namespace {
// Line lists and calibration files: far above any the program writes (a
// calibration with long labels passes 1 MB), far below the memory at hand.
constexpr std::size_t kMaxTextBytes = std::size_t{64} << 20;
constexpr std::string_view kListFilter = "Line lists (*.txt)|*.txt|All files (*.*)|*.*";
constexpr std::string_view kCalibrationFilter = "Calibrations (*.cal)|*.cal|All files (*.*)|*.*";
constexpr std::string_view kCalibrationSaveFilter = "Calibration (*.cal)|*.cal";
constexpr int kOpenFlagsHideReadOnly = 4;
// Identify Lines matches a peak to a list line within this many columns.
constexpr double kIdentifyTolerancePixels = 2;

bool Clipping(const Program& app) { return app.w.MenuTicked(MenuItem::ClipOutliers); }

// The lines changed: the last fit no longer describes them.
void LinesChanged(Program& app) {
  app.s.LastFit.reset();
  ShowTable(app);
}

// The selected line-list entry's label: the built-in list's text in its
// parentheses, a loaded list's label, none for a typed wavelength.
std::string SelectedLabel(Program& app) {
  const int index = app.w.SelectedIndex(Control::cboscale);
  if (index >= 0 && index < static_cast<int>(kSpectralLines.size()))
    return BuiltInLineList()[static_cast<std::size_t>(index)].label;
  const int listed = index - kManualEntryIndex - 1;
  if (listed >= 0 && listed < static_cast<int>(app.s.ListedLines.size()))
    return app.s.ListedLines[static_cast<std::size_t>(listed)].label;
  return {};
}

bool CalSpectrumShown(Program& app) {
  if (app.s.Cal.Loaded != kFalse && app.s.CalGraphShown != kFalse) return true;
  app.w.MessageBox("Load the calibration image and show its spectrum (Graph Cal) first!");
  return false;
}

// The whole text of the file, or nullopt after a message: never a part of it.
std::optional<std::string> ReadText(Program& app, const std::string& path) {
  FileRead read = app.w.Files().ReadFile(path, kMaxTextBytes);
  try {
    if (read.ok()) return std::string(read.bytes.begin(), read.bytes.end());
  } catch (const std::bad_alloc&) {
    read = FileRead::Refused(FileReadError::NoMemory);
  }
  const std::string refusal = ReadRefusal(read, path, kMaxTextBytes);
  app.w.MessageBox(refusal.empty() ? "The file " + path + " could not be read." : refusal);
  return std::nullopt;
}

void Fitted(Program& app, const FitResult& fit) {
  if (fit.error != FitError::None) return app.w.MessageBox(fit.message);
  app.s.LastFit = fit;
  ShowTable(app);
  app.w.SetCaption(Control::Lblwavelength, FitSummary(fit) + "\r\nUse This Fit to calibrate with it");
}

GratingModel TwoLineModel(const AppState& s) {
  GratingModel model;
  model.pixelWidth = ModelPixelWidth(s);
  model.parameters = {s.FocalLength.AsDouble(), s.AlphaAngle.AsDouble(), ModelReference(s),
                      s.WavelengthDescending != kFalse};
  return model;
}

}  // namespace

void ShowTable(Program& app) {
  app.w.SetLineTable(
      LineTableOf(app.s.Lines, app.s.LastFit, CalibrationInForce(app.s), CalibrationModelName(app.s)));
}

bool LinesUnsaved(const AppState& s) { return !s.Lines.empty() && s.Lines != s.LinesOfLastFile; }

void PutInForce(Program& app, const FittedCalibration& calibration, bool fromMarks) {
  app.s.FitInForce = calibration;
  app.s.FitFromMarks = fromMarks;
  app.s.CalibrationDone = true;
}

std::optional<FittedCalibration> CalibrationInForce(const AppState& s) {
  if (s.FitInForce) return s.FitInForce;
  if (!s.CalibrationDone) return std::nullopt;
  FittedCalibration two;
  two.pixels = DetectorPixels(s);
  two.grating = TwoLineModel(s);
  return two;
}

std::string CalibrationModelName(const AppState& s) {
  if (s.FitInForce && !s.FitFromMarks) return FitModelName(*s.FitInForce);
  return s.CalibrationDone ? "Two lines" : "";
}

std::vector<std::string> CalibrationDescription(const AppState& s) {
  const std::optional<FittedCalibration> inForce = CalibrationInForce(s);
  if (!inForce) return {};
  const bool grating = inForce->kind == FitKind::Grating;
  // The last fit's figures, when it is the fit in force.
  std::optional<FitResult> fit;
  if (s.FitInForce && !s.FitFromMarks && s.LastFit && s.LastFit->calibration.kind == inForce->kind &&
      (grating ? s.LastFit->calibration.grating.parameters == inForce->grating.parameters
               : s.LastFit->calibration.polynomial == inForce->polynomial))
    fit = s.LastFit;
  return DescribeCalibration(*inForce, grating ? inForce->grating.settings : s.Instrument,
                             !s.FitInForce || s.FitFromMarks, fit);
}

bool SolveTwoLinesWithSettings(Program& app, double wavelength1, float pixel1, double wavelength2, float pixel2) {
  AppState& s = app.s;
  const LineSet two{{wavelength1, pixel1, "", true}, {wavelength2, pixel2, "", true}};
  const FitResult fit =
      FitGrating(two, s.Instrument, FitPixelWidth(s), DetectorFitOptions(s, false));
  if (fit.error != FitError::None) return false;
  const GratingParameters& p = fit.calibration.grating.parameters;
  s.FocalLength = p.focalLength;
  s.AlphaAngle = p.alphaAngle;
  s.WavelengthDescending = p.descending ? kTrue : kFalse;
  s.FocalLengthFitted = true;
  PutInForce(app, fit.calibration, true);
  s.CalibrationFrame = FrameOf(GraphedImage(s));
  return true;
}

void LoadKeptInstrument(Program& app) {
  const std::optional<InstrumentFields> kept = app.w.KeptInstrument();
  if (!kept) return;
  const InstrumentReading reading = SettingsOf(*kept);
  if (reading.settings) app.s.Instrument = *reading.settings;  // a spoilt note keeps the defaults
}

// A refused field is named in a message and the dialog opens again with
// everything as typed, until OK is accepted or Cancel pressed.
void instrument_Click(Program& app) {
  InstrumentFields shown = FieldsOf(app.s.Instrument);
  for (;;) {
    const std::optional<InstrumentFields> typed = app.w.InstrumentDialog(shown);
    if (!typed) return;
    const InstrumentReading reading = SettingsOf(*typed);
    if (reading.settings) {
      app.s.Instrument = *reading.settings;
      return app.w.KeepInstrument(FieldsOf(app.s.Instrument));
    }
    app.w.MessageBox(reading.message);
    shown = *typed;
  }
}

void linesAndResiduals_Click(Program& app) {
  ShowTable(app);
  app.w.ShowLineTable();
}

void addLine_Click(Program& app) {
  AppState& s = app.s;
  if (!CalSpectrumShown(app)) return;
  if (!s.SelectedLineWavelength.IsSet())
    return app.w.MessageBox("Choose the line's wavelength in the line list first!");
  if (!FindLineCentroid(app)) return;
  const CalibrationLine line{s.SelectedLineWavelength.AsDouble(), s.LineCentroid, SelectedLabel(app), true};
  switch (AddLine(s.Lines, line, DetectorPixels(s))) {
    case AddLineError::None:
      break;
    case AddLineError::BadLine:
      return app.w.MessageBox("Not a valid line - line not added!");
    case AddLineError::SameWavelength:
      return app.w.MessageBox("A line of this wavelength is in the table already - line not added!");
    case AddLineError::SameColumn:
      return app.w.MessageBox("A line of the table lies within a pixel of this one - line not added!");
  }
  LinesChanged(app);
  app.w.SetCaption(Control::Lblwavelength, "Line " + std::to_string(s.Lines.size()) + " added:\r\n" +
                                               FormatNumber(line.wavelength, "0.000") + " A at pixel " +
                                               FormatNumber(line.column, "##0.00"));
}

void lineList_Click(Program& app) {
  AppState& s = app.s;
  const std::optional<std::string> path = app.w.OpenFileDialog(kListFilter, 1, kOpenFlagsHideReadOnly);
  if (!path) return;
  const std::optional<std::string> text = ReadText(app, *path);
  if (!text) return;
  const LineListResult list = ParseLineList(*text);
  if (list.error != LineListError::None) return app.w.MessageBox(list.message);
  for (const ListLine& line : list.lines) {
    // The wavelength as the file gives it, to every digit.
    app.w.AppendEntry(Control::cboscale,
                      ShortestText(line.wavelength) + (line.label.empty() ? "" : " (" + line.label + ")"));
    s.ListedLines.push_back(line);
  }
  s.IdentifyList = list.lines;
  // Offered in the Lamp dialog by its file name, the newest lines under it;
  // ticked at once when a lamp is in use, since the user loaded it to use it.
  const std::string name = path->substr(path->find_last_of("/\\") + 1);
  const auto same = [&](const NamedLineList& l) { return l.name == name; };
  s.LoadedLists.erase(std::remove_if(s.LoadedLists.begin(), s.LoadedLists.end(), same), s.LoadedLists.end());
  s.LoadedLists.push_back({name, list.lines});
  if (!s.Lamp.names.empty() && std::find(s.Lamp.names.begin(), s.Lamp.names.end(), name) == s.Lamp.names.end())
    s.Lamp.names.push_back(name);
  app.w.SetCaption(Control::Lblwavelength, std::to_string(list.lines.size()) + " lines of\r\n" + *path +
                                               "\r\nadded to the line list");
  if (!list.problems.empty()) {
    std::string message = "Some lines of " + *path + " were left out:";
    const std::size_t shown = std::min<std::size_t>(list.problems.size(), 10);
    for (std::size_t i = 0; i < shown; ++i) message += "\r\n" + list.problems[i];
    if (shown < list.problems.size())
      message += "\r\n... and " + std::to_string(list.problems.size() - shown) + " more";
    app.w.MessageBox(message);
  }
}

namespace {
// With a lamp chosen: its lines matched by pattern from the calibration in
// force, none of them taken that the others contradict.
void IdentifyLampLines(Program& app) {
  AppState& s = app.s;
  const std::optional<AutoIdentifyResult> found = IdentifyWithLamp(s);
  if (!found) return;
  if (!found->ok()) return app.w.MessageBox("No line of the lamp was identified: " + found->message);
  const int pixels = DetectorPixels(s);
  int added = 0;
  for (const CalibrationLine& line : found->lines)
    if (AddLine(s.Lines, line, pixels) == AddLineError::None) ++added;
  if (added > 0) LinesChanged(app);
  app.w.SetCaption(Control::Lblwavelength, std::to_string(found->lines.size()) + " lines identified, " +
                                               std::to_string(added) + " added\r\n(" +
                                               std::to_string(s.Lines.size()) + " lines in the table)");
}
}  // namespace

void identifyLines_Click(Program& app) {
  AppState& s = app.s;
  const std::optional<FittedCalibration> inForce = CalibrationInForce(s);
  if (!inForce)
    return app.w.MessageBox(
        "Identify Lines needs a calibration: mark two lines or open a calibration first!");
  if (s.Cal.Loaded == kFalse) return app.w.MessageBox("Load the calibration image first!");
  if (!s.Lamp.names.empty()) return IdentifyLampLines(app);
  // The lamp at the detector's pixels (a camera image: its columns); the
  // tolerance is the overview's columns.
  const std::vector<ListLine> list = s.IdentifyList.empty() ? BuiltInLineList() : s.IdentifyList;
  const int pixels = s.Cal.Detector.frame ? s.Cal.Detector.length : kGridColumns;
  const LineSet found = IdentifyLines(
      s.Cal.Native, [&](double column) { return FittedWavelength(*inForce, column); }, list,
      kIdentifyTolerancePixels * s.Cal.Detector.bin,
      DetectorWindow(s.Cal.Detector, static_cast<int>(s.CentroidWidth.AsDouble())), pixels);
  int added = 0;
  for (const CalibrationLine& line : found)
    if (AddLine(s.Lines, line, pixels) == AddLineError::None) ++added;
  if (found.empty()) return app.w.MessageBox("No line of the list was found in the calibration spectrum.");
  if (added > 0) LinesChanged(app);
  app.w.SetCaption(Control::Lblwavelength, std::to_string(found.size()) + " lines identified, " +
                                               std::to_string(added) + " added\r\n(" +
                                               std::to_string(s.Lines.size()) + " lines in the table)");
}

void fitGrating_Click(Program& app) {
  const AppState& s = app.s;
  std::optional<GratingParameters> start;
  if (const std::optional<FittedCalibration> inForce = CalibrationInForce(s);
      inForce && inForce->kind == FitKind::Grating && inForce->grating.settings == s.Instrument)
    start = inForce->grating.parameters;
  Fitted(app, FitGrating(s.Lines, s.Instrument, FitPixelWidth(s), DetectorFitOptions(s, Clipping(app)), start));
}

void fitPolynomial_Click(Program& app, int order) {
  Fitted(app, FitPolynomial(app.s.Lines, order, DetectorFitOptions(app.s, Clipping(app))));
}

// The tick is read by the next fit.
void clipOutliers_Click(Program&) {}

void useFit_Click(Program& app) {
  if (!app.s.LastFit) return app.w.MessageBox("Make a fit over the lines first!");
  PutInForce(app, app.s.LastFit->calibration);
  app.s.CalibrationFrame = FrameOf(app.s.Cal);
  ShowTable(app);
  app.w.SetCaption(Control::Lblwavelength, FitSummary(*app.s.LastFit) + "\r\nin force");
  WarnOfCalibration(app);
}

void saveCalibration_Click(Program& app) {
  const AppState& s = app.s;
  const std::optional<FittedCalibration> inForce = CalibrationInForce(s);
  if (!inForce)
    return app.w.MessageBox("There is no calibration to save: mark two lines or use a fit first!");
  // The lamp goes with it when the calibration counts its pixels (a two-line
  // solve counts the frame graphed now, which may be another one).
  std::optional<LampFrame> lamp = s.CalibrationFrame;
  if (lamp && lamp->length != inForce->pixels) lamp.reset();
  CalibrationFile file{inForce->kind == FitKind::Grating ? inForce->grating.settings : s.Instrument, *inForce,
                       s.Lines, lamp};
  const std::string text = FormatCalibrationFile(file);
  // Only a file that Open Calibration takes back is written: a two-line solve
  // of absurd wavelengths can reach values the reader refuses.
  if (const CalibrationFileResult back = ParseCalibrationFile(text); !back.ok())
    return app.w.MessageBox("This calibration cannot be saved: " + back.message + " - nothing was saved.");
  const std::optional<SaveAnswer> answer = app.w.SaveFileDialog(kCalibrationSaveFilter);
  if (!answer) return;
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (const FileError error = SaveFile(app, answer->path, bytes); error == FileError::None) {
    app.s.LinesOfLastFile = s.Lines;
    app.w.SetCaption(Control::Lblwavelength, answer->path + " saved as calibration file");
  } else {
    app.w.MessageBox(SaveRefusal(error, answer->path));
  }
}

void openCalibrationFile_Click(Program& app) {
  AppState& s = app.s;
  const std::optional<std::string> path = app.w.OpenFileDialog(kCalibrationFilter, 1, kOpenFlagsHideReadOnly);
  if (!path) return;
  const std::optional<std::string> text = ReadText(app, *path);
  if (!text) return;
  const CalibrationFileResult read = ParseCalibrationFile(*text);
  if (read.error != CalibrationFileError::None)
    return app.w.MessageBox(read.message + " - calibration unchanged!");
  if (LinesUnsaved(s) &&
      !app.w.Ask("The lines in the table have not been saved. Replace them with the lines of " + *path + "?",
                 Buttons::YesNo))
    return;
  s.Instrument = read.file.settings;
  s.Lines = read.file.lines;
  s.LinesOfLastFile = s.Lines;
  s.LastFit.reset();
  // Its wavelengths are measured between its outermost used lines.
  FittedCalibration calibration = read.file.calibration;
  for (const CalibrationLine& line : s.Lines) {
    if (!line.used) continue;
    const bool first = !(calibration.lastLine > 0);
    calibration.firstLine = first ? line.column : std::min(calibration.firstLine, double{line.column});
    calibration.lastLine = first ? line.column : std::max(calibration.lastLine, double{line.column});
  }
  PutInForce(app, calibration);
  s.CalibrationFrame = read.file.lamp;
  ShowTable(app);
  app.w.SetCaption(Control::Lblwavelength,
                   FitModelName(read.file.calibration) + " calibration of\r\n" + *path + "\r\nin force");
  WarnOfCalibration(app);
  if (const std::string moved = LampMovedWarning(s); !moved.empty()) app.w.MessageBox(moved);
}

void LineTable_Edit(Program& app, const LineTableEdit& edit) {
  AppState& s = app.s;
  const auto count = static_cast<int>(s.Lines.size());
  switch (edit.kind) {
    case LineTableEdit::Kind::Used: {
      if (edit.row < 0 || edit.row >= count) return;
      CalibrationLine& line = s.Lines[static_cast<std::size_t>(edit.row)];
      if (line.used == edit.used) return;
      line.used = edit.used;
      break;
    }
    case LineTableEdit::Kind::Remove: {
      // From the last row up, each once, so that the rows still to go keep their places.
      std::vector<int> rows;
      for (const int row : edit.rows)
        if (row >= 0 && row < count) rows.push_back(row);
      std::sort(rows.begin(), rows.end(), std::greater<>());
      rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
      if (rows.empty()) return;
      for (const int row : rows) s.Lines.erase(s.Lines.begin() + row);
      break;
    }
    case LineTableEdit::Kind::Clear:
      if (s.Lines.empty()) return;
      s.Lines.clear();
      break;
  }
  LinesChanged(app);
}

}  // namespace lxr4
