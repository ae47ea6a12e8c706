// "Print Graph": one page with the whole graphed spectrum (page_layout.h).
#include "app/procedures.h"
#include "output/page_layout.h"

namespace lxr4 {

namespace {

// The page's printer operations on the window's printer.
class WindowPrinter final : public Printer {
 public:
  explicit WindowPrinter(Window& w) : w_(w) {}
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

}  // namespace

void cmdprint_Click(App& app) {
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
  if (PrintGraphPage(page, printer)) {
    app.w.MessageBox("One page has been sent to your printer.");
  } else {
    printer.Abort();  // no half-open document is left behind
    app.w.MessageBox("There was a problem printing to your printer.");
  }
}

}  // namespace lxr4
