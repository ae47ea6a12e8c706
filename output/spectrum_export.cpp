// File > Export Spectrum...: the graphed spectrum saved through a save dialog
// as a FITS spectrum with a linear wavelength axis, a FITS table or CSV.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/handlers.h"
#include "output/handlers.h"
#include "output/spectrum_csv.h"

namespace lxr4 {

namespace {

// The dialog's types, in the order of ExportType.
constexpr std::string_view kExportFilter =
    "FITS spectrum, linear wavelength axis (*.fits)|*.fits|FITS table (*.fits)|*.fits|CSV (*.csv)|*.csv";
enum ExportType : int { kFitsLinear = 1, kFitsTable = 2, kCsv = 3 };

}  // namespace

void exportSpectrum_Click(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  const int columns = std::clamp<int>(s.SpectrumLength, 0, kGridColumns);
  if (columns == 0) {
    w.MessageBox("There is no spectrum to export yet: load an image first.");
    return;
  }
  const std::optional<SaveAnswer> answer = w.SaveFileDialog(kExportFilter);
  if (!answer) return;
  if (answer->type == kFitsLinear && !s.CalibrationDone) {
    w.MessageBox(
        "A FITS spectrum with a linear wavelength axis needs a calibration: mark two lines "
        "of the lamp first, or save the spectrum as a FITS table or CSV.");
    return;
  }
  if (answer->type != kCsv) {
    // The FITS writers (linear axis and table) take the same columns as the CSV below.
    w.MessageBox("This version cannot write FITS files yet; save the spectrum as CSV.");
    return;
  }

  std::vector<std::int32_t> values;
  std::vector<float> wavelengths;
  for (int i = 1; i <= columns; ++i) {
    values.push_back(s.CurrentSpectrum[i]);
    if (s.CalibrationDone) {
      // The wavelength of the read-out, printed page and text file of this column.
      const float lambda = CalibratedWavelength(app, i);
      s.ReadoutWavelength = Num(lambda);
      wavelengths.push_back(lambda);
    }
  }
  const std::string text = SpectrumCsv(values, wavelengths);
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (w.Files().WriteFile(answer->path, bytes) == FileError::None)
    w.SetCaption(Control::Lblwavelength, answer->path + " saved as CSV file");
  else
    w.MessageBox("The file " + answer->path + " could not be written; nothing was saved.");
}

}  // namespace lxr4
