// "Write Text File": the graphed spectrum as a tab-separated text file next
// to its image (text_export_format.h).
#include <algorithm>
#include <string>
#include <vector>

#include "calibration/handlers.h"
#include "imagefile/fits_settings.h"
#include "output/handlers.h"
#include "output/text_export_format.h"
#include "state/saving.h"

namespace lxr4 {

void cmdtext_Click(Program& app) {
  AppState& s = app.s;
  const std::string path = TextExportPath(s.CalGraphShown ? s.Cal.FileName : s.Object.FileName);
  // An image named like its own text file (star.txt) is never written over.
  // Refused before anything changes, as every save refuses it (SaveFile).
  if (ReplacesLoadedImage(app, path))
    return app.w.MessageBox(SaveRefusal(FileError::LoadedImage, path, "text file"));
  std::string rows;
  // A FITS frame's rows are its detector pixels, in its own units (as the
  // spectrum exports take it, unless the image's units are chosen).
  const CameraImage& source = s.CalGraphShown ? s.Cal : s.Object;
  const bool detector = source.Detector.frame && CurrentFitsSettings(app.w).frameUnits;
  const int columns = detector ? static_cast<int>(source.Native.size()) : std::clamp<int>(s.SpectrumLength, 0, kGridColumns);
  for (int i = 1; i <= columns; ++i) {
    const auto value = static_cast<float>(detector ? source.Native[static_cast<std::size_t>(i - 1)] : s.CurrentSpectrum[i]);
    if (s.CalibrationDone) {
      const WavelengthAt at = CalibratedWavelength(s, i);
      KeepEvaluation(s, at);
      const float lambda = at.wavelength;
      s.ReadoutWavelength = Num(lambda);
      rows += TextExportRow(i, lambda, value);
    } else {
      rows += TextExportRow(i, value);
    }
    rows += "\r\n";
  }
  const std::string text = TextExportFile(rows);

  s.SelectedFileName = path;
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  // The caption announces the file only once it has been written.
  if (const FileError error = SaveFile(app, path, bytes); error == FileError::None)
    app.w.SetCaption(Control::Lblwavelength, path + " saved as text file");
  else
    app.w.MessageBox(SaveRefusal(error, path, "text file"));
}

}  // namespace lxr4
