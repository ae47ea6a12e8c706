// Loading a camera image into the object or the calibration slot. The whole
// file is read and checked before anything changes, so a refused or failed
// load leaves the slot, its labels and the shared values as they were; only
// SelectedFileName holds what the dialog answered.
#include <algorithm>
#include <array>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/night_load.h"
#include "app/procedures.h"
#include "calibration/lamp_handlers.h"
#include "imagefile/camera_image_reader.h"
#include "imagefile/fits_import.h"
#include "imagefile/fits_settings.h"

namespace lxr4 {

namespace {

constexpr std::string_view kOpenFilter =
    "All Files (*.*)|*.*|KM1 Files (*.KM1)|*.KM1|KM2 Files (*.KM2)|*.KM2|"
    "KM3 Files (*.KM3)|*.KM3|KM4 Files (*.KM4)|*.KM4";
constexpr int kOpenFilterIndex = 1;
constexpr int kOpenFlagsHideReadOnly = 4;
// The largest valid camera image file is 2048 + 20 x (2 + 32767) bytes; a
// larger one is taken with room for trailing bytes, which the reader ignores.
constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

ImageBytes ReadImageBytes(const AppState& s, Slot slot, Window& w, const std::string& path) {
  ImageBytes r;
  r.label = path;
  // Read once, whole: whether the file is a FITS frame is known from its bytes.
  FileRead read = w.Files().ReadFile(path, kMaxFrameFileBytes);
  if (!read.ok()) {
    r.refusal = ReadRefusal(read, path, kMaxFrameFileBytes);
    return r;
  }
  const bool fits = LooksLikeFits(read.bytes);
  if (!fits && read.bytes.size() > kMaxFileBytes) {
    r.refusal = ReadRefusal(FileRead::Refused(FileReadError::TooLarge), path, kMaxFileBytes);
    return r;
  }
  if (!fits) {
    r.file = std::move(read.bytes);
    return r;
  }
  // A FITS frame, recognised by its contents, becomes a camera image file
  // first, reduced on the way when the night's reduction asks it.
  if (NightReductionOn(s, slot)) return ReadNightImage(s, slot, w, path, read.bytes);
  FitsFileImport imported = ImportFitsFile(read.bytes, CurrentFitsSettings(w).import, FitsDecoderBesideProgram());
  if (imported.error == FitsError::Unavailable) r.refusal = kFitsUnavailable;
  r.label += " (" + imported.image.description + ")";
  r.columnBin = imported.image.bin;
  if (imported.image.ok) {
    const FrameImport& frame = imported.image;
    r.detector = {true, frame.firstPixel, frame.bin, frame.length, frame.axis == DispersionAxis::Columns};
    r.swath = std::move(imported.image.swath);
    r.file = std::move(imported.image.file);
  }
  return r;
}

struct SlotControls {
  Control pathLabel, frame, otherFrame, heading, otherHeading;
  void (*extract)(Program&);
  void (*draw)(Program&);
};

constexpr SlotControls kObjectControls{Control::lblfiledata1, Control::Shphart1, Control::shphart2,
                                       Control::Label3,       Control::Label2,   ExtractObjectSpectrum,
                                       DrawObjectImage};
constexpr SlotControls kCalControls{Control::lblfiledata2, Control::shphart2, Control::Shphart1,
                                    Control::Label2,       Control::Label3,   ExtractCalSpectrum,
                                    DrawCalImage};

// The open-file dialog: leaves the chosen path in SelectedFileName, an empty
// one when the user cancelled, whatever the load then makes of it.
void ShowOpenFileDialog(AppState& s, Window& w) {
  s.SelectedFileName =
      w.OpenFileDialog(kOpenFilter, kOpenFilterIndex, kOpenFlagsHideReadOnly).value_or(std::string{});
}

// Puts an accepted file into the slot: path, caption, header values, header block and pixels.
void StoreImage(AppState& s, Slot slot, const std::string& path, const CameraImageFile& file, ImageBytes& bytes) {
  CameraImage& image = s.Image(slot);
  image.FileName = path;
  if (std::find(s.LoadedFiles.begin(), s.LoadedFiles.end(), path) == s.LoadedFiles.end())
    s.LoadedFiles.push_back(path);
  image.Caption = path + file.header.captionSuffix;
  const HeaderValues& h = file.header;
  if (h.height) image.Height = *h.height;
  if (h.width) image.Width = *h.width;
  if (h.background) image.Background = *h.background;
  if (h.range) image.Range = *h.range;
  if (h.pixelWidth) s.PixelWidth = *h.pixelWidth;
  if (h.pixelHeight) s.PixelHeight = *h.pixelHeight;
  image.HeaderBlock = file.headerBlock;
  image.Detector = bytes.detector.frame ? bytes.detector : DetectorMap{false, 1, 1, image.Width};
  image.Swath = std::move(bytes.swath);
  image.Reduction = std::move(bytes.reduction);
  image.Stacked = bytes.stacked;
  image.Reduced = std::move(bytes.reduced);
  image.Aperture = std::move(bytes.aperture);
  // Cells beyond the new image keep what they held.
  for (int row = 1; row <= file.height; ++row)
    for (int column = 1; column <= file.width; ++column) image.Pixels.at(column, row) = file.at(column, row);
}

}  // namespace

// Memory that runs out while a file is read or imported refuses the load,
// like any other file that cannot be taken; nothing has changed yet.
void PlaceImage(Program& app, Slot slot, const std::string& path,
                const std::function<ImageBytes()>& read) {
  AppState& s = app.s;
  Window& w = app.w;
  const SlotControls& c = slot == Slot::Object ? kObjectControls : kCalControls;

  CameraImage& image = s.Image(slot);
  ImageBytes bytes;
  CameraImageFile file;
  try {
    bytes = read();
    if (bytes.file) {
      const ReaderStart start{slot == Slot::Object, static_cast<std::int16_t>(image.Height.AsDouble()),
                              image.Width, bytes.columnBin};
      file = ReadCameraImage(*bytes.file, start);
    }
  } catch (const std::bad_alloc&) {
    bytes = ImageBytes{};
    bytes.refusal = ReadRefusal(FileRead::Refused(FileReadError::NoMemory), path, 0);
  }
  if (!bytes.file) {
    w.MessageBox(bytes.refusal.empty() ? std::string(kLoadFailed) : bytes.refusal);
    return;
  }
  const std::string& label = bytes.label;
  switch (file.error) {
    case ReadError::None:
      break;
    case ReadError::TooTall:
      w.MessageBox("Spectral swath is too tall!");
      return;
    case ReadError::TooWide:
      w.MessageBox("Spectral swath is too wide!");
      return;
    default:
      w.MessageBox(kLoadFailed);
      return;
  }

  w.SetCaption(c.pathLabel, label);
  StoreImage(s, slot, path, file, bytes);

  const Bounds frame = w.GetBounds(c.frame);
  std::array<PaintedPoint, kGridRows> column;
  for (int i = 1; i <= kGridColumns; ++i) {
    for (int j = 1; j <= kGridRows; ++j)
      column[static_cast<std::size_t>(j - 1)] =
          PaintedPoint{static_cast<float>(frame.left + i), static_cast<float>(frame.top + j), kBlack};
    w.PaintPoints(column);
  }

  s.CalGraphShown = slot == Slot::Cal ? kTrue : kFalse;
  image.OriginX = static_cast<double>((frame.left - 1) + (frame.width - image.Width) / 2);
  image.OriginY = static_cast<std::int16_t>((frame.top - 1) + (frame.height - file.height) / 2);
  image.CropTop = 1;
  image.CropBottom = 20;
  s.SpectrumLength = image.Width;
  const auto middle = static_cast<std::int16_t>(image.Width / 2);
  w.SetMaximum(Control::hsbspectra, image.Width);
  w.SetValue(Control::hsbspectra, middle);
  s.CursorPixel = middle;
  s.CursorTickPixel = middle;
  s.CursorDetectorPixel = ColumnCentrePixel(image.Detector, middle);
  c.extract(app);
  c.draw(app);
  w.SetColour(c.frame, kRed);
  w.SetColour(c.otherFrame, kBlack);
  w.SetColour(c.heading, kRed);
  w.SetColour(c.otherHeading, kBlack);
  w.ClearGraph();
  image.Loaded = kTrue;
  image.CropTop = 1;
  image.CropBottom = 20;
  DrawSpectrumGraph(app);
  w.AddRecentFile(RecentFile{path, slot == Slot::Cal});
  // A calibration in force made on a frame of another geometry gives this one no true wavelengths.
  if (const std::string warning = FrameWarning(s); !warning.empty()) w.MessageBox(warning);
  if (slot == Slot::Cal)
    if (const std::string moved = LampMovedWarning(s); !moved.empty()) w.MessageBox(moved);
}

namespace {

void LoadImageFile(Program& app, Slot slot, const std::string& path) {
  PlaceImage(app, slot, path, [&] { return ReadImageBytes(app.s, slot, app.w, path); });
}

void LoadImage(Program& app, Slot slot) {
  ShowOpenFileDialog(app.s, app.w);
  const std::string path = app.s.SelectedFileName;
  if (path.empty()) {
    app.w.MessageBox("No file was selected");
    return;
  }
  LoadImageFile(app, slot, path);
}

}  // namespace

void cmdload_Click(Program& app) { LoadImage(app, Slot::Object); }
void cmdload2_Click(Program& app) { LoadImage(app, Slot::Cal); }

void openRecent_Click(Program& app) {
  if (const std::optional<RecentFile> file = app.w.ChosenRecentFile())
    LoadImageFile(app, file->calibration ? Slot::Cal : Slot::Object, file->path);
}

}  // namespace lxr4
