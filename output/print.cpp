// "Print Graph": one page with the whole graphed spectrum (page_layout.h).
#include "calibration/handlers.h"
#include "output/handlers.h"
#include "output/page_layout.h"

namespace lxr4 {

void cmdprint_Click(Program& app) {
  AppState& s = app.s;
  const GraphPage page{
      .title = s.CalGraphShown ? s.Cal.Caption : s.Object.Caption,
      .calibrated = s.CalibrationDone,
      .spectrum = s.CurrentSpectrum,
      .spectrumMax = s.SpectrumMax,
      .spectrumMin = s.SpectrumMin,
      // Each evaluation leaves its wavelength in ReadoutWavelength, as every read-out does.
      .wavelength =
          [&app](int column) {
            const float lambda = CalibratedWavelength(app, column);
            app.s.ReadoutWavelength = Num(lambda);
            return lambda;
          },
  };
  Printer& printer = app.w.Printer();
  if (PrintGraphPage(page, printer)) {
    app.w.MessageBox("One page has been sent to your printer.");
  } else {
    printer.Abort();  // no half-open document is left behind
    app.w.MessageBox("There was a problem printing to your printer.");
  }
}

}  // namespace lxr4
