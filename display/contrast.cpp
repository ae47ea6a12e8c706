// The contrast dialog, which sets a slot's Background and Range, and the
// "Expand Spectra" check box.
#include <optional>

#include "base/number_text.h"
#include "display/handlers.h"

namespace lxr4 {

namespace {

constexpr const char* kNoImage = "Load an image before adjusting its contrast.";
constexpr const char* kBadBackground = "Background must be a number from -32768 to 32767.";
constexpr const char* kBadRange = "Range must be a number from 1 to 32767.";

std::string WholeText(const Num& n) { return NumberText(static_cast<long long>(n.AsDouble())); }

std::optional<std::int16_t> TextAsInt16(const std::string& text) {
  const std::optional<double> value = ParseDecimal(text);
  if (!value) return std::nullopt;
  return ToInt16(*value);
}

void DrawSlot(Program& app, Slot slot) {
  if (slot == Slot::Object)
    DrawObjectImage(app);
  else
    DrawCalImage(app);
}

// A refused text leaves both values as they were and draws nothing.
void AdjustContrast(Program& app, Slot slot) {
  CameraImage& image = app.s.Image(slot);
  if (image.Loaded == kFalse) {
    app.w.MessageBox(kNoImage);
    return;
  }
  app.w.SetText(Control::txtbackground, WholeText(image.Background));
  app.w.SetText(Control::txtrange, WholeText(image.Range));
  app.w.ShowDialog(Control::frmcontrast);

  const std::optional<std::int16_t> background = TextAsInt16(app.w.Text(Control::txtbackground));
  if (!background) {
    app.w.MessageBox(kBadBackground);
    return;
  }
  const std::optional<std::int16_t> range = TextAsInt16(app.w.Text(Control::txtrange));
  if (!range || *range < 1) {
    app.w.MessageBox(kBadRange);
    return;
  }
  image.Background = *background;
  image.Range = *range;
  DrawSlot(app, slot);
  if (!app.w.Ticked(Control::chkexpand)) DrawCropLines(app, slot);
}

}  // namespace

void cmdcontrast_Click(Program& app) { AdjustContrast(app, Slot::Object); }
void cmdcontrast2_Click(Program& app) { AdjustContrast(app, Slot::Cal); }
void cmddone_Click(Program& app) { app.w.HideDialog(Control::frmcontrast); }

void chkexpand_Click(Program& app) {
  const bool objectLoaded = app.s.Object.Loaded != kFalse;
  const bool calLoaded = app.s.Cal.Loaded != kFalse;
  if (objectLoaded) DrawObjectImage(app);
  if (calLoaded) DrawCalImage(app);
  if (app.w.Ticked(Control::chkexpand)) return;
  if (objectLoaded) DrawCropLines(app, Slot::Object);
  if (calLoaded) DrawCropLines(app, Slot::Cal);
}

}  // namespace lxr4
