// Routes each event of the two windows and each menu item to its handler;
// other events are ignored.
#include <new>

#include "app/procedures.h"
#include "calibration/line_handlers.h"

namespace lxr4 {

namespace {
// The Calibration menu's files are parsed before anything changes: memory that
// runs out on the way refuses the file with a message, as an image load does,
// and never reaches the window's event loop.
void ReadingFile(Program& app, void (*handler)(Program&)) {
  try {
    handler(app);
  } catch (const std::bad_alloc&) {
    app.w.MessageBox("There was not enough memory for this file; it was not taken.");
  }
}
}  // namespace

void App::OnEvent(Control control, Event event) {
  Route(control, event);
  RedrawSpectrumView(*this);
}

void App::OnMenu(MenuItem item) {
  Choose(item);
  RedrawSpectrumView(*this);
}

void App::OnSpectrumView(const ViewInput& input) { SpectrumView_Input(*this, input); }

void App::Route(Control control, Event event) {
  using C = Control;
  App& app = *this;
  if (event == Event::Load && control == C::Spectra) return Spectra_Load(app);
  if (event == Event::Unload && control == C::Spectra) return Spectra_Unload(app);
  if (event == Event::Scroll) {
    switch (control) {
      case C::hsbcropdata1: return hsbcropdata1_Scroll(app);
      case C::hsbcropdata2: return hsbcropdata2_Scroll(app);
      case C::hsbcropcal1: return hsbcropcal1_Scroll(app);
      case C::hsbcropcal2: return hsbcropcal2_Scroll(app);
      case C::hsbspectra: return hsbspectra_Scroll(app);
      default: return;
    }
  }
  if (event == Event::Change) {
    switch (control) {
      case C::hsbcropdata1: return hsbcropdata1_Change(app);
      case C::hsbcropdata2: return hsbcropdata2_Change(app);
      case C::hsbcropcal1: return hsbcropcal1_Change(app);
      case C::hsbcropcal2: return hsbcropcal2_Change(app);
      case C::hsbspectra: return hsbspectra_Change(app);
      default: return;
    }
  }
  if (event != Event::Click) return;
  switch (control) {
    case C::cmdload: return cmdload_Click(app);
    case C::cmdload2: return cmdload2_Click(app);
    case C::cmdstrip: return cmdstrip_Click(app);
    case C::cmdcontrast: return cmdcontrast_Click(app);
    case C::cmdcontrast2: return cmdcontrast2_Click(app);
    case C::cmddone: return cmddone_Click(app);
    case C::chkexpand: return chkexpand_Click(app);
    case C::chkfilter: return chkfilter_Click(app);
    case C::chkmedian: return chkmedian_Click(app);
    case C::smoothing: return smoothing_Click(app);
    case C::cboscale: return cboscale_Click(app);
    case C::cbobox: return cbobox_Click(app);
    case C::cmdmarkline1: return cmdmarkline1_Click(app);
    case C::cmdmarkline2: return cmdmarkline2_Click(app);
    case C::cmdemission: return cmdemission_Click(app);
    case C::cmdcalcspectra: return cmdcalcspectra_Click(app);
    case C::Cmdcalccal: return Cmdcalccal_Click(app);
    case C::Lingraph: return Lingraph_Click(app);
    case C::loggraph: return loggraph_Click(app);
    case C::autograph: return autograph_Click(app);
    case C::pushgraph: return pushgraph_Click(app);
    case C::cmdprint: return cmdprint_Click(app);
    case C::cmdtext: return cmdtext_Click(app);
    case C::cmdexit: return cmdexit_Click(app);
    default: return;
  }
}

// Every item has its case: the compiler names an item added without one.
void App::Choose(MenuItem item) {
  using M = MenuItem;
  Program& app = *this;
  switch (item) {
    case M::OpenObject: return cmdload_Click(app);
    case M::OpenCalibration: return cmdload2_Click(app);
    case M::OpenRecent: return openRecent_Click(app);
    case M::FitsImport: return fitsImport_Click(app);
    case M::ExportSpectrum: return exportSpectrum_Click(app);
    case M::PrintGraph: return cmdprint_Click(app);
    case M::PrintPdf: return printPdf_Click(app);
    case M::Exit: return cmdexit_Click(app);
    case M::UserGuide: return userGuide_Click(app);
    case M::About: return about_Click(app);
    case M::Instrument: return instrument_Click(app);
    case M::LinesAndResiduals: return linesAndResiduals_Click(app);
    case M::AddLine: return addLine_Click(app);
    case M::LineList: return ReadingFile(app, lineList_Click);
    case M::Lamp: return lamp_Click(app);
    case M::IdentifyLines: return identifyLines_Click(app);
    case M::AutoCalibrate: return autoCalibrate_Click(app);
    case M::Reidentify: return reidentify_Click(app);
    case M::FitGrating: return fitGrating_Click(app);
    case M::FitPolynomial1: return fitPolynomial_Click(app, 1);
    case M::FitPolynomial2: return fitPolynomial_Click(app, 2);
    case M::FitPolynomial3: return fitPolynomial_Click(app, 3);
    case M::FitPolynomial4: return fitPolynomial_Click(app, 4);
    case M::ClipOutliers: return clipOutliers_Click(app);
    case M::UseFit: return useFit_Click(app);
    case M::OpenCalibrationFile: return ReadingFile(app, openCalibrationFile_Click);
    case M::SaveCalibration: return saveCalibration_Click(app);
    case M::OpenSpectrumFile: return ReadingFile(app, openSpectrum_Click);
    case M::ViewSpectrum: return viewSpectrum_Click(app);
    case M::Measurements: return measurements_Click(app);
    case M::Observation: return observation_Click(app);
    case M::ExportMeasurements: return exportMeasurements_Click(app);
    case M::OpenStack: return ReadingFile(app, openStack_Click);
    case M::Masters: return ReadingFile(app, masters_Click);
    case M::Extraction: return extraction_Click(app);
    case M::InstrumentResponse: return ReadingFile(app, instrumentResponse_Click);
  }
}

void App::DrawImage(Slot slot) { slot == Slot::Object ? DrawObjectImage(*this) : DrawCalImage(*this); }
void App::DrawGraph() { DrawSpectrumGraph(*this); }
void App::GraphSpectrum(Slot slot) {
  slot == Slot::Object ? cmdcalcspectra_Click(*this) : Cmdcalccal_Click(*this);
}
void App::OnMeasurementTableEdit(const MeasurementTableEdit& edit) {
  MeasurementTable_Edit(*this, edit);
  RedrawSpectrumView(*this);
}

void App::OnLineTableEdit(const LineTableEdit& edit) {
  LineTable_Edit(*this, edit);
  RedrawSpectrumView(*this);
}

}  // namespace lxr4
