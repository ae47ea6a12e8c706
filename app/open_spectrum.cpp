// File > Open Spectrum...: a 1-D spectrum (the program's own exports, FITS
// with a wavelength axis or a table, CSV or text) read whole and checked,
// then shown over the frames' spectra in the Spectrum view.
#include <filesystem>
#include <string>
#include <string_view>

#include "app/procedures.h"
#include "base/number_text.h"
#include "imagefile/fits_reader.h"
#include "imagefile/spectrum_reader.h"

namespace lxr4 {

namespace {
constexpr std::string_view kSpectrumFilter =
    "Spectra (*.fits;*.fit;*.fts;*.csv;*.txt;*.dat)|*.fits;*.fit;*.fts;*.csv;*.txt;*.dat|All Files (*.*)|*.*";
constexpr int kOpenFlagsHideReadOnly = 4;
}  // namespace

void openSpectrum_Click(Program& app) {
  const std::optional<std::string> path = app.w.OpenFileDialog(kSpectrumFilter, 1, kOpenFlagsHideReadOnly);
  if (!path) return;
  const std::string name = std::filesystem::path(*path).filename().string();
  const FileRead read = app.w.Files().ReadFile(*path, kMaxSpectrumFileBytes);
  if (!read.ok()) {
    const std::string refusal = ReadRefusal(read, *path, kMaxSpectrumFileBytes);
    return app.w.MessageBox(refusal.empty() ? *path + " could not be read - not opened." : refusal);
  }
  const SpectrumReadResult opened = ReadSpectrumFile(read.bytes, name, FitsDecoderBesideProgram());
  if (!opened.ok()) return app.w.MessageBox(opened.message);
  app.s.Overlays.push_back({*path, opened.wavelength, opened.flux, opened.fluxUnit});
  const auto [first, last] = std::minmax(opened.wavelength.front(), opened.wavelength.back());
  // Beside images in pixels, a spectrum on wavelengths waits for a calibration.
  const bool waits = !app.s.CalibrationDone && (app.s.Object.Loaded != kFalse || app.s.Cal.Loaded != kFalse);
  app.w.SetCaption(Control::Lblwavelength, name + " opened:\r\n" + std::to_string(opened.wavelength.size()) +
                                               " samples, " + FormatNumber(first, "0.00") + " - " +
                                               FormatNumber(last, "0.00") + " A" +
                                               (waits ? "\r\nshown once a calibration is in force" : ""));
  viewSpectrum_Click(app);
}

}  // namespace lxr4
