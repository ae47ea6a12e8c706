// The two extractions run on the state, and the three option check boxes.
#include "spectrum/handlers.h"
#include "spectrum/extraction.h"

namespace lxr4 {

namespace {

void Keep(AppState& s, const SpectrumExtent& extent) {
  s.SpectrumMax = extent.max;
  s.SpectrumMin = extent.min;
  s.SpectrumLength = extent.length;
}

// The spectrum at the detector's pixels: a frame's from its swath (or along
// its trace when the load extracted it), a camera image's its columns.
void KeepNative(CameraImage& image, const Spectrum& columns, NativeOptions options) {
  if (!image.Reduced.empty()) {
    image.Native = image.Reduced;
    return;
  }
  const int length = image.Detector.length;
  const int rows = length > 0 ? static_cast<int>(image.Swath.size() / static_cast<std::size_t>(length)) : 0;
  image.Native = image.Detector.frame
                     ? ExtractNative(image.Swath, rows, length, {image.CropTop, image.CropBottom}, options)
                     : NativeOfColumns(columns, image.Width);
}

}  // namespace

void ExtractObjectSpectrum(Program& app) {
  AppState& s = app.s;
  const ObjectOptions options{.median = app.w.Ticked(Control::chkmedian),
                              .filter = app.w.Ticked(Control::chkfilter),
                              .smoothing = app.w.Ticked(Control::smoothing)};
  Keep(s, ExtractObject(s.Object.Pixels, s.Object.Width, {s.Object.CropTop, s.Object.CropBottom}, options,
                        s.CurrentSpectrum, s.ObjectSpectrum));
  KeepNative(s.Object, s.ObjectSpectrum,
             {.object = true, .filter = options.filter, .smoothing = options.smoothing});
}

void ExtractCalSpectrum(Program& app) {
  AppState& s = app.s;
  const bool smoothing = app.w.Ticked(Control::smoothing);
  Keep(s, ExtractCal(s.Cal.Pixels, s.Cal.Width, {s.Cal.CropTop, s.Cal.CropBottom}, smoothing, s.CurrentSpectrum,
                     s.CalSpectrum));
  KeepNative(s.Cal, s.CalSpectrum, {.object = false, .filter = false, .smoothing = smoothing});
}

// "Filter Airglow" and "Use Median" re-extract the object spectrum even while
// the calibration spectrum is graphed; the frames and headings stay as they are.
void chkfilter_Click(Program& app) {
  ExtractObjectSpectrum(app);
  app.DrawGraph();
  if (app.w.Ticked(Control::chkexpand)) app.DrawImage(Slot::Object);
}

void chkmedian_Click(Program& app) {
  ExtractObjectSpectrum(app);
  app.DrawGraph();
  if (app.w.Ticked(Control::chkexpand)) app.DrawImage(Slot::Object);
}

void smoothing_Click(Program& app) {
  if (app.s.CalGraphShown != kFalse) {
    ExtractCalSpectrum(app);
  } else {
    ExtractObjectSpectrum(app);
  }
  app.DrawGraph();
  if (app.w.Ticked(Control::chkexpand)) {
    app.DrawImage(Slot::Object);
    app.DrawImage(Slot::Cal);
  }
}

}  // namespace lxr4
