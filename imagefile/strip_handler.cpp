// "Save Strip Image": the graphed spectrum written as a new camera image file
// (strip_writer.h), named by the user.
#include <algorithm>
#include <span>

#include "imagefile/handlers.h"
#include "imagefile/strip_name.h"
#include "imagefile/strip_writer.h"
#include "state/saving.h"

namespace lxr4 {

void cmdstrip_Click(Program& app) {
  AppState& s = app.s;
  const bool cal = s.CalGraphShown != kFalse;
  const CameraImage& image = cal ? s.Cal : s.Object;
  const Spectrum& spectrum = cal ? s.CalSpectrum : s.ObjectSpectrum;
  // Refused before the question: an unloaded slot has no header and no rows to save.
  if (image.Loaded == kFalse) {
    app.w.MessageBox(cal ? "No calibration image loaded; strip file not saved!"
                         : "No object image loaded; strip file not saved!");
    return;
  }

  // The answer is taken as typed: backslashes are part of the name here.
  const std::string suggested =
      StripNameDefault(image.FileName, app.w.Files().FolderExists(std::string(kCameraImageFolder)));
  const std::optional<std::string> name = app.w.InputBox(
      "Input full file name (without extension): ", "Enter file name where spectral strip will be saved",
      suggested);
  if (!name || name->empty()) {
    app.w.MessageBox("No file name entered; strip file not saved!");
    return;
  }

  const int width = std::clamp<int>(image.Width, 0, kGridColumns);
  const int height = std::clamp(static_cast<int>(image.Height.AsDouble()), 0, kGridRows);
  const std::vector<std::uint8_t> bytes = StripImage(
      image.HeaderBlock, std::span(spectrum.values).subspan(1, static_cast<std::size_t>(width)), height);
  // The whole file is replaced, so no tail of an older, longer file survives.
  const std::string path = *name + ".km1";
  switch (const FileError error = SaveFile(app, path, bytes)) {
    case FileError::None:
      break;
    case FileError::NotRegularFile:
      app.w.MessageBox(*name + ".km1 is a folder, device or pipe, not a file; strip file not saved!");
      return;
    case FileError::NotWritable:
      app.w.MessageBox(*name + ".km1 is read-only; strip file not saved!");
      return;
    case FileError::CannotOpen:
    case FileError::CannotWrite:
      app.w.MessageBox("Invalid path name - try again!");
      return;
    default:
      app.w.MessageBox(SaveRefusal(error, path));
      return;
  }
  app.w.SetCaption(Control::Lblwavelength, *name + ".km1 strip image saved");
}

}  // namespace lxr4
