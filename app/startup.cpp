// Start-up (the main window's load handler) and shut-down.
#include "base/number_text.h"
#include "app/procedures.h"
#include "calibration/line_handlers.h"
#include "calibration/line_list.h"

namespace lxr4 {

void Spectra_Load(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  // The contrast dialog exists hidden from the window's creation on.
  for (const LineEntry& line : kSpectralLines) w.AppendEntry(Control::cboscale, line.text);
  w.AppendEntry(Control::cboscale, kManualEntryText);
  w.SelectEntry(Control::cboscale, kStartLineIndex);

  s.CentroidWidth = std::int16_t{5};
  s.LastCentroidWidth = std::int16_t{5};
  s.FocalLength = std::int16_t{50};
  s.GrooveSpacing = 3.333333;
  s.GammaAngle = std::int16_t{0};
  s.DegreesPerRadian = 57.29578f;
  s.SelectedLineWavelength = 5460.753;
  s.CalibrationDone = false;
  s.FocalLengthFitted = false;
  s.LinearGraph = false;
  s.LogGraph = false;
  s.AutoscaledGraph = true;
  s.Object.CropTop = 1;
  s.PushedGraph = false;
  s.Object.CropBottom = 20;
  s.Cal.CropTop = 1;
  s.Cal.CropBottom = 20;

  w.SetCaption(Control::lbldatacrop1, NumberText(s.Object.CropTop));
  w.SetCaption(Control::lbldatacrop2, NumberText(s.Object.CropBottom));
  w.SetCaption(Control::lblcalcrop1, NumberText(s.Cal.CropTop));
  w.SetCaption(Control::lblcalcrop2, NumberText(s.Cal.CropBottom));
  s.Object.Loaded = kFalse;
  s.Cal.Loaded = kFalse;

  for (const WidthEntry& width : kCentroidWidths) w.AppendEntry(Control::cbobox, width.text);
  w.SelectEntry(Control::cbobox, kStartWidthIndex);
  LoadKeptInstrument(app);
}

void Spectra_Unload(Program& app) { app.w.EndProgram(); }
void cmdexit_Click(Program& app) { app.w.EndProgram(); }

}  // namespace lxr4
