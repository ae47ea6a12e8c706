// A FITS frame through the night's reduction, and File > Open Stack.
#include "app/night_load.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "app/procedures.h"
#include "base/number_text.h"
#include "imagefile/fits_import.h"
#include "imagefile/fits_settings.h"

namespace lxr4 {

namespace {

constexpr std::string_view kFrameFilter = "FITS Frames (*.fits *.fit *.fts *.fits.gz *.fz)|*.fits;*.fit;*.fts;*.fits.gz;*.fz|All Files (*.*)|*.*";

// Frame rows summed into an image row so that the aperture and both sky bands
// fit on the image's 20 rows with two rows to spare.
int RowsPerImageRow(const NightFrame& n) {
  const double reach = n.sky.method == SkyMethod::None ? n.halfWidth : n.sky.offset + n.sky.width;
  return std::max(1, static_cast<int>(std::ceil((2 * reach + 4) / 20)));
}

ApertureDrawing ApertureOf(const NightFrame& n, const FrameImport& im) {
  ApertureDrawing a;
  const DetectorMap map{true, im.firstPixel, im.bin, im.length, n.alongColumns};
  const double rowBin = im.rowBin;
  const double top = im.firstRow - 1 + (rowBin - 1) / 2;  // the first image row's centre, frame pixels from 0
  for (int column = 1; column <= im.width; ++column) {
    const double y = n.trace.Centre(ColumnPosition(map, column) - 1);
    a.centre.push_back((y - top) / rowBin + 1);
  }
  a.halfWidth = n.halfWidth / rowBin;
  if (n.sky.method != SkyMethod::None) {
    a.skyInner = n.sky.offset / rowBin;
    a.skyOuter = (n.sky.offset + n.sky.width) / rowBin;
  }
  return a;
}

bool AlongColumns(const Window& w, const FitsFrame& frame) {
  const DispersionAxis axis = CurrentFitsSettings(w).import.axis;
  return (axis == DispersionAxis::Auto ? FindDispersionAxis(frame) : axis) == DispersionAxis::Columns;
}

// A FITS frame's bytes decoded; the message of a refusal otherwise.
std::optional<FitsFrame> DecodeFrame(std::span<const std::uint8_t> bytes, std::string& refusal) {
  FitsReadResult read = ReadFitsFrame(bytes, FitsDecoderBesideProgram());
  if (read.ok()) return std::move(read.frame);
  refusal = read.error == FitsError::Unavailable ? kFitsUnavailable : kLoadFailed;
  return std::nullopt;
}

}  // namespace

bool NightReductionOn(const AppState& s, Slot slot) {
  const AppState::NightReduction& n = s.Night;
  if (n.bias || n.darkRate || n.flat) return true;
  return slot == Slot::Object && (n.extraction.method != ExtractionChoice::Swath || n.extraction.cosmicRays);
}

NightMasters MastersInForce(const AppState& s) { return {s.Night.bias, s.Night.darkRate, s.Night.flat}; }

NightExtraction ExtractionInForce(const AppState& s) {
  const ExtractionFields& f = s.Night.extraction;
  NightExtraction e;
  e.method = f.method;
  e.halfWidth = ParseDecimal(f.aperture);
  e.sky.method = f.sky == SkyChoice::None ? SkyMethod::None : f.sky == SkyChoice::Fit ? SkyMethod::Fit : SkyMethod::Median;
  e.sky.offset = ParseDecimal(f.skyOffset).value_or(e.sky.offset);
  e.sky.width = ParseDecimal(f.skyWidth).value_or(e.sky.width);
  e.cosmicRays = f.cosmicRays;
  e.stack = f.stack;
  return e;
}

ImageBytes ImportNightFrame(const NightFrame& n, const Window& w, std::string label) {
  ImageBytes r;
  ImportOptions options = CurrentFitsSettings(w).import;
  options.axis = n.alongColumns ? DispersionAxis::Columns : DispersionAxis::Rows;
  if (n.traced) {
    const int length = n.alongColumns ? n.frame.height : n.frame.width;
    options.swathCentre = n.trace.Centre((length - 1) / 2.0);
    options.swathBin = RowsPerImageRow(n);
  }
  FrameImport im = ImportFrame(n.frame, options);
  r.label = std::move(label) + " (" + im.description + ")";
  if (!im.ok) {
    r.refusal = kLoadFailed;
    return r;
  }
  r.columnBin = im.bin;
  r.detector = {true, im.firstPixel, im.bin, im.length, n.alongColumns};
  r.reduction = n.provenance;
  r.stacked = n.stacked;
  if (n.traced) {
    r.reduced = n.spectrum.flux;
    r.aperture = ApertureOf(n, im);
  }
  r.swath = std::move(im.swath);
  r.file = std::move(im.file);
  return r;
}

ImageBytes ReadNightImage(const AppState& s, Slot slot, Window& w, const std::string& path,
                          std::span<const std::uint8_t> bytes) {
  ImageBytes r;
  r.label = path;
  std::optional<FitsFrame> frame = DecodeFrame(bytes, r.refusal);
  if (!frame) return r;
  const bool alongColumns = AlongColumns(w, *frame);
  NightFrameResult n = ReduceNightFrame(*std::move(frame), LeafName(path), MastersInForce(s), ExtractionInForce(s),
                                        slot == Slot::Object, alongColumns);
  if (!n.ok()) {
    r.refusal = n.message;
    return r;
  }
  n.alongColumns = alongColumns;
  return ImportNightFrame(n, w, path);
}

// Several object frames at once: each calibrated, then stacked on the first
// one's trace and extracted as one frame.
void openStack_Click(Program& app) {
  const std::optional<std::vector<std::string>> paths = app.w.OpenFilesDialog(kFrameFilter);
  if (!paths) return;
  if (paths->size() < 2) {
    app.w.MessageBox("A stack needs at least two frames of the object; open a single frame with File > Open Spectrum Image.");
    return;
  }
  const auto read = [&]() {
    ImageBytes r;
    r.label = paths->front();
    std::vector<NightFrame> frames;
    // Each frame calibrated (and cleaned of cosmic rays when asked: a clip
    // over a few frames cannot tell them), the stack extracted.
    NightExtraction calibrateOnly = ExtractionInForce(app.s);
    calibrateOnly.method = ExtractionChoice::Swath;
    bool alongColumns = false;
    for (const std::string& path : *paths) {
      FileRead bytes = app.w.Files().ReadFile(path, kMaxFrameFileBytes);
      if (!bytes.ok()) {
        r.refusal = ReadProblem(bytes, path, kMaxFrameFileBytes);
        return r;
      }
      std::optional<FitsFrame> frame = DecodeFrame(bytes.bytes, r.refusal);
      if (!frame) {
        r.refusal = path + ": " + r.refusal;
        return r;
      }
      if (frames.empty()) alongColumns = AlongColumns(app.w, *frame);
      NightFrameResult n = ReduceNightFrame(*std::move(frame), LeafName(path), MastersInForce(app.s),
                                            calibrateOnly, true, alongColumns);
      if (!n.ok()) {
        r.refusal = n.message;
        return r;
      }
      frames.push_back(std::move(n));
    }
    NightFrameResult stack = StackNightFrames(std::move(frames), ExtractionInForce(app.s), alongColumns);
    if (!stack.ok()) {
      r.refusal = stack.message;
      return r;
    }
    stack.alongColumns = alongColumns;
    std::string label = paths->front() + " + " + std::to_string(paths->size() - 1) + " more (stack of " +
                        std::to_string(stack.stacked) + ", " +
                        FormatNumber(stack.frame.facts.exposure.value_or(0), "0.#") + " s)";
    return ImportNightFrame(stack, app.w, std::move(label));
  };
  PlaceImage(app, Slot::Object, paths->front(), read);
  // Every frame of the stack is an image loaded in this run: no save replaces it.
  for (const std::string& path : *paths)
    if (std::find(app.s.LoadedFiles.begin(), app.s.LoadedFiles.end(), path) == app.s.LoadedFiles.end())
      app.s.LoadedFiles.push_back(path);
}

}  // namespace lxr4
