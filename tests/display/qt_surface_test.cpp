// The same drawings on the scripted window and on the real Qt window give the
// same pixels, on the surfaces and on the screen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <cstdint>
#include <functional>

#include "app/procedures.h"
#include "platform/qt/qt_window.h"
#include "platform/script/script_window.h"

namespace lxr4 {
namespace {

// Both slots filled by hand (no file dialog): a ramp with a swath, each with
// a spectrum, and a calibration in force so that the bands are coloured.
void FillSlots(App& app) {
  Spectra_Load(app);
  for (Slot slot : {Slot::Object, Slot::Cal}) {
    CameraImage& image = app.s.Image(slot);
    Spectrum& spectrum = slot == Slot::Object ? app.s.ObjectSpectrum : app.s.CalSpectrum;
    const int width = 765;
    for (int r = 1; r <= kGridRows; ++r)
      for (int k = 1; k <= width; ++k) {
        const int value = (r >= 7 && r <= 13 ? 2000 : 150) + (k * 37 + r * 11) % 900;
        image.Pixels.at(k, r) = static_cast<std::int16_t>(value);
        spectrum[k] += value;
      }
    image.Width = width;
    image.Height = std::int16_t{kGridRows};
    image.Background = std::int16_t{100};
    image.Range = std::int32_t{slot == Slot::Object ? 3000 : 1200};
    image.OriginX = 4.0;
    image.OriginY = slot == Slot::Object ? 8 : 40;
    image.Loaded = kTrue;
  }
  app.s.PixelWidth = 9.0f;
  app.s.FocalLength = 53.7107;
  app.s.AlphaAngle = 9.75531;
  app.s.CalibrationDone = true;
}

// Image mode with crop lines, then both bands.
void Session(App& app, const std::function<void()>& tickExpand) {
  DrawObjectImage(app);
  DrawCalImage(app);
  app.s.Object.CropTop = 5;
  DrawCropLines(app, Slot::Object);
  DrawCropLines(app, Slot::Cal);
  tickExpand();
}

TEST(QtSurface, SameSessionPaintsTheSamePixelsAsTheScriptedWindow) {
  ScriptWindow script;
  App scripted(script);
  script.SetSink(&scripted);
  FillSlots(scripted);
  Session(scripted, [&] { script.Click(Control::chkexpand); });

  QtWindow qt;
  App real(qt);
  qt.SetEventSink(&real);
  FillSlots(real);
  qt.ShowCentred();
  Session(real, [&] { static_cast<QAbstractButton*>(qt.Widget(Control::chkexpand))->click(); });
  QApplication::processEvents();

  ASSERT_TRUE(real.s.CalibrationDone);
  EXPECT_EQ(qt.WindowSurface().Pixels(), script.WindowSurface().Pixels());

  // On the screen: the two image areas inside their frames.
  const QImage shown = qt.ClientArea()->grab().toImage();
  int differences = 0;
  for (int y : {9, 15, 28, 41, 50, 60})
    for (int x = 5; x <= 770; ++x) {
      const Rgb p = script.WindowSurface().At(x, y);
      if (shown.pixelColor(x, y) != QColor(p.r, p.g, p.b)) ++differences;
    }
  EXPECT_EQ(differences, 0);
}

}  // namespace
}  // namespace lxr4

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
