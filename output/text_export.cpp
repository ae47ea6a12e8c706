// "Write Text File": the graphed spectrum as a tab-separated text file next
// to its image (text_export_format.h).
#include <algorithm>
#include <string>
#include <vector>

#include "calibration/handlers.h"
#include "output/handlers.h"
#include "output/text_export_format.h"

namespace lxr4 {

namespace {

// Whether writing `path` would replace an image file the program has loaded.
bool IsLoadedImage(Program& app, const std::string& path) {
  return std::any_of(app.s.LoadedFiles.begin(), app.s.LoadedFiles.end(),
                     [&](const std::string& loaded) { return app.w.Files().SameFile(path, loaded); });
}

}  // namespace

void cmdtext_Click(Program& app) {
  AppState& s = app.s;
  const std::string path = TextExportPath(s.CalGraphShown ? s.Cal.FileName : s.Object.FileName);
  // An image named like its own text file (star.txt) is never written over.
  if (IsLoadedImage(app, path)) {
    app.w.MessageBox("The text file " + path + " would replace a loaded image file; nothing was saved.");
    return;
  }
  std::string rows;
  const int columns = std::clamp<int>(s.SpectrumLength, 0, kGridColumns);
  for (int i = 1; i <= columns; ++i) {
    const auto value = static_cast<float>(s.CurrentSpectrum[i]);
    if (s.CalibrationDone) {
      const float lambda = CalibratedWavelength(app, i);
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
  if (app.w.Files().WriteFile(path, bytes) == FileError::None) {
    app.w.SetCaption(Control::Lblwavelength, path + " saved as text file");
  } else {
    app.w.MessageBox("The text file " + path + " could not be written; nothing was saved.");
  }
}

}  // namespace lxr4
