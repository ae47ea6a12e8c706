// The four crop-box scroll bars and the red crop lines. Each box keeps at
// least three rows: first row <= last row - 2.
#include "base/number_text.h"
#include "display/handlers.h"

namespace lxr4 {

namespace {

struct CropBar {
  Control bar;
  Control label;
  Slot slot;
  bool firstRow;  // the bar of the box's first row (else of its last row)
};

constexpr CropBar kDataTop{Control::hsbcropdata1, Control::lbldatacrop1, Slot::Object, true};
constexpr CropBar kDataBottom{Control::hsbcropdata2, Control::lbldatacrop2, Slot::Object, false};
constexpr CropBar kCalTop{Control::hsbcropcal1, Control::lblcalcrop1, Slot::Cal, true};
constexpr CropBar kCalBottom{Control::hsbcropcal2, Control::lblcalcrop2, Slot::Cal, false};

// Takes the bar's value as the row, within the box's limit; a limited row
// moves the bar back, which runs the bar's change handler at once.
void TakeRow(Program& app, const CropBar& bar) {
  CameraImage& image = app.s.Image(bar.slot);
  std::int16_t& row = bar.firstRow ? image.CropTop : image.CropBottom;
  row = static_cast<std::int16_t>(app.w.Value(bar.bar));
  if (bar.firstRow && row > image.CropBottom - 2) {
    row = static_cast<std::int16_t>(image.CropBottom - 2);
    app.w.SetValue(bar.bar, row);
  } else if (!bar.firstRow && row < image.CropTop + 2) {
    row = static_cast<std::int16_t>(image.CropTop + 2);
    app.w.SetValue(bar.bar, row);
  }
  app.w.SetCaption(bar.label, NumberText(row));
}

void ChangeRow(Program& app, const CropBar& bar) {
  TakeRow(app, bar);
  const bool object = bar.slot == Slot::Object;
  const bool loaded = app.s.Image(bar.slot).Loaded != kFalse;
  if (loaded) {
    if (object)
      DrawObjectImage(app);
    else
      DrawCalImage(app);
  }
  DrawCropLines(app, bar.slot);
  if (loaded) {
    if (object)
      app.GraphSpectrum(Slot::Object);
    else
      app.GraphSpectrum(Slot::Cal);
  }
}

void RedLine(Program& app, int y) {
  app.w.DrawLine(Control::Spectra, Num(std::int16_t{5}), Num(static_cast<std::int16_t>(y)),
                 Num(std::int16_t{770}), Num(static_cast<std::int16_t>(y)), kRed);
}

}  // namespace

// The rows are fixed window rows: they do not follow the image's origin.
void DrawCropLines(Program& app, Slot slot) {
  const CameraImage& image = app.s.Image(slot);
  const int upper = slot == Slot::Object ? 7 : 39;
  const int lower = slot == Slot::Object ? 9 : 41;
  RedLine(app, image.CropTop + upper);
  RedLine(app, image.CropBottom + lower);
}

void hsbcropdata1_Scroll(Program& app) { TakeRow(app, kDataTop); }
void hsbcropdata1_Change(Program& app) { ChangeRow(app, kDataTop); }
void hsbcropdata2_Scroll(Program& app) { TakeRow(app, kDataBottom); }
void hsbcropdata2_Change(Program& app) { ChangeRow(app, kDataBottom); }
void hsbcropcal1_Scroll(Program& app) { TakeRow(app, kCalTop); }
void hsbcropcal1_Change(Program& app) { ChangeRow(app, kCalTop); }
void hsbcropcal2_Scroll(Program& app) { TakeRow(app, kCalBottom); }
void hsbcropcal2_Change(Program& app) { ChangeRow(app, kCalBottom); }

}  // namespace lxr4
