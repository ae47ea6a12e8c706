// "Print Graph": one page with the whole graphed spectrum (page_layout.h), on
// the printer or, from File > Print to PDF... or when no printer is
// installed, into a PDF file.
#include <string>
#include <string_view>

#include "app/procedures.h"
#include "output/page_layout.h"

namespace lxr4 {

namespace {

constexpr std::string_view kPdfFilter = "PDF (*.pdf)|*.pdf";

// The page's printer operations on the window's printer.
class WindowPrinter final : public Printer {
 public:
  explicit WindowPrinter(Window& w) : w_(w) {}
  bool Installed() const override { return w_.PrinterInstalled(); }
  bool Setup(int value) override { return w_.PrinterSetup(value); }
  std::optional<PageSize> Size() override { return w_.PrinterSize(); }
  std::optional<TextSize> Measure(std::string_view text) override { return w_.PrinterMeasure(text); }
  bool Text(Num x, Num y, std::string_view text) override { return w_.PrinterText(x, y, text); }
  bool Line(Num x1, Num y1, Num x2, Num y2) override { return w_.PrinterLine(x1, y1, x2, y2); }
  bool End() override { return w_.PrinterEnd(); }
  void Abort() override { w_.PrinterAbort(); }

 private:
  Window& w_;
};

// Prints the page on the window's printer; true when it was sent. A page that
// failed is dropped, so that no half-open document is left behind.
bool PrintPage(App& app) {
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
  WindowPrinter printer(app.w);
  if (PrintGraphPage(page, printer)) return true;
  printer.Abort();
  return false;
}

// The page into a PDF file the user names; nothing when the dialog is cancelled.
void PrintPageToPdf(App& app) {
  Window& w = app.w;
  const std::optional<SaveAnswer> answer = w.SaveFileDialog(kPdfFilter);
  if (!answer) return;
  // The printer goes back to paper however the page ends.
  struct BackToPaper {
    Window& w;
    ~BackToPaper() { w.PrinterToPdf({}); }
  };
  bool sent = false;
  {
    w.PrinterToPdf(answer->path);
    const BackToPaper back{w};
    sent = PrintPage(app);
  }
  w.MessageBox(sent ? "The page has been saved as " + answer->path + "."
                    : "The page could not be saved as " + answer->path + "; nothing was saved.");
}

}  // namespace

void cmdprint_Click(App& app) {
  if (!app.w.PrinterInstalled()) {
    app.w.MessageBox(
        "No printer is installed. You can save the page as a PDF file instead: choose its name, or "
        "Cancel.");
    return PrintPageToPdf(app);
  }
  if (PrintPage(app))
    app.w.MessageBox("One page has been sent to your printer.");
  else
    app.w.MessageBox("There was a problem printing to your printer.");
}

void printPdf_Click(App& app) { PrintPageToPdf(app); }

}  // namespace lxr4
