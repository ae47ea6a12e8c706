// "Print Graph": one page with the whole graphed spectrum (page_layout.h), on
// the printer or, from File > Print to PDF... or when no printer is
// installed, into a PDF file.
#include <string>
#include <string_view>

#include "calibration/detector.h"
#include "calibration/handlers.h"
#include "output/handlers.h"
#include "output/page_layout.h"
#include "state/saving.h"

namespace lxr4 {

namespace {

constexpr std::string_view kPdfFilter = "PDF (*.pdf)|*.pdf";

// Prints the page on the window's printer; true when it was sent. A page that
// failed is dropped, so that no half-open document is left behind.
bool PrintPage(Program& app) {
  AppState& s = app.s;
  const GraphPage page{
      .title = s.CalGraphShown ? s.Cal.Caption : s.Object.Caption,
      .calibrated = s.CalibrationDone,
      .spectrum = s.CurrentSpectrum,
      .spectrumMax = s.SpectrumMax,
      .spectrumMin = s.SpectrumMin,
      // Each evaluation leaves its wavelength in ReadoutWavelength, as every read-out does.
      .wavelength =
          [&s](int column) {
            const WavelengthAt at = CalibratedWavelength(s, ColumnOnDetector(s, column));
            KeepEvaluation(s, at);
            s.ReadoutWavelength = Num(at.wavelength);
            return at.wavelength;
          },
  };
  Printer& printer = app.w.Printer();
  if (PrintGraphPage(page, printer)) return true;
  printer.Abort();
  return false;
}

// The page into a PDF file the user names; nothing when the dialog is cancelled.
void PrintPageToPdf(Program& app) {
  Window& w = app.w;
  const std::optional<SaveAnswer> answer = w.SaveFileDialog(kPdfFilter);
  if (!answer) return;
  // The printer writes the file itself; the guard every save passes comes first.
  if (ReplacesLoadedImage(app, answer->path))
    return w.MessageBox(SaveRefusal(FileError::LoadedImage, answer->path));
  // The printer goes back to paper however the page ends.
  struct BackToPaper {
    Printer& printer;
    ~BackToPaper() { printer.SendToPdf({}); }
  };
  bool sent = false;
  {
    w.Printer().SendToPdf(answer->path);
    const BackToPaper back{w.Printer()};
    sent = PrintPage(app);
  }
  w.MessageBox(sent ? "The page has been saved as " + answer->path + "."
                    : "The page could not be saved as " + answer->path + "; nothing was saved.");
}

}  // namespace

void cmdprint_Click(Program& app) {
  if (!app.w.Printer().Installed()) {
    if (app.w.Ask("No printer is installed. You can save the page as a PDF file instead: choose its name, or "
                  "Cancel.",
                  Buttons::OkCancel))
      PrintPageToPdf(app);
    return;
  }
  if (PrintPage(app))
    app.w.MessageBox("One page has been sent to your printer.");
  else
    app.w.MessageBox("There was a problem printing to your printer.");
}

void printPdf_Click(Program& app) { PrintPageToPdf(app); }

}  // namespace lxr4
