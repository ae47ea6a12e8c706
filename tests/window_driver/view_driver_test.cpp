// The driver in the real Spectrum view: each view line worked on the widgets
// hands the program the very input the scripted window hands it
// (InputOfAction), and save-view gives the canvas the asked size, the program
// its Resize, and the picture the program answers with.
#include <gtest/gtest.h>

#include <QTest>
#include <vector>

#include "qt/driver/window_driver.h"
#include "qt/spectrum_view_window.h"
#include "script/script_error.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

// A plot from 4000 to 7000 over columns 100..700, rows 20..420.
PlotPicture Plot(int width, int height) {
  PlotPicture p;
  p.width = width;
  p.height = height;
  p.background = Rgb{10, 20, 30};
  p.rects.push_back({100, 20, 100, 100, Rgb{250, 250, 250}});
  p.area = {100, 20, 700, 420, 4000, 7000};
  return p;
}

// The program: keeps the view's inputs and answers a resize with a picture of the new size.
struct ViewProgram final : EventSink {
  void OnEvent(Control, Event) override {}
  void OnMenu(MenuItem) override {}
  void OnSpectrumView(const ViewInput& in) override {
    inputs.push_back(in);
    if (in.kind == ViewInput::Kind::Resize) window->SetSpectrumView(Plot(in.width, in.height));
  }
  Window* window = nullptr;
  std::vector<ViewInput> inputs;
};

class DrivenView : public ShownWindow {
 protected:
  DrivenView() {
    driver.SetProgram(program);
    program.window = &driver;
  }
  WindowDriver driver{window};
  ViewProgram program;
};

ViewAction Act(ViewAction::Kind kind, double value = 0, double value2 = 0) {
  ViewAction a;
  a.kind = kind;
  a.value = value;
  a.value2 = value2;
  return a;
}

TEST_F(DrivenView, EachLineGivesTheProgramTheScriptedWindowsInput) {
  EXPECT_THROW(driver.ActInView(Act(ViewAction::Kind::Reset)), ScriptError) << "the view is not open";
  driver.ShowSpectrumView();
  driver.SetSpectrumView(Plot(kViewStartWidth, kViewStartHeight));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.SpectrumView()));
  ViewAction range = Act(ViewAction::Kind::Range);
  range.fromText = "4100";
  range.toText = "6 900";
  ViewAction units = Act(ViewAction::Kind::Units);
  units.units = ViewUnits::Nanometre;
  ViewAction show = Act(ViewAction::Kind::Show);
  show.check = ViewCheck::Lamp;
  show.on = false;
  ViewAction wheel = Act(ViewAction::Kind::Wheel, 4500);
  wheel.steps = -3;
  ViewAction key = Act(ViewAction::Kind::Key);
  key.key = ViewKey::ZoomIn;
  const ViewAction actions[] = {
      range, Act(ViewAction::Kind::Reset),           units, show, Act(ViewAction::Kind::Click, 6562.8),
      wheel, Act(ViewAction::Kind::Box, 6000, 5000), key};
  for (const ViewAction& a : actions) {
    SCOPED_TRACE(static_cast<int>(a.kind));
    const ViewInput expected =
        *InputOfAction(a, Plot(kViewStartWidth, kViewStartHeight), window.SpectrumView()->Controls());
    program.inputs.clear();
    driver.ActInView(a);
    ASSERT_EQ(program.inputs.size(), 1u);
    const ViewInput& got = program.inputs[0];
    EXPECT_EQ(got.kind, expected.kind);
    EXPECT_EQ(got.x, expected.x);
    EXPECT_EQ(got.y, expected.y);
    EXPECT_EQ(got.x2, expected.x2);
    EXPECT_EQ(got.steps, expected.steps);
    EXPECT_EQ(got.key, expected.key);
    EXPECT_EQ(got.fromText, expected.fromText);
    EXPECT_EQ(got.toText, expected.toText);
    EXPECT_EQ(got.units, expected.units);
    EXPECT_EQ(got.showObject, expected.showObject);
    EXPECT_EQ(got.showLamp, expected.showLamp);
    EXPECT_EQ(got.scaleOverlays, expected.scaleOverlays);
  }
  program.inputs.clear();
  driver.ActInView(show);
  driver.ActInView(units);
  EXPECT_TRUE(program.inputs.empty()) << "a box or list left as it is already";
}

// The canvas made each size, the least and most too, whatever the controls'
// row or the screen; the program told once, and its new picture painted.
TEST_F(DrivenView, SaveViewGivesTheCanvasTheSizeAndPaintsTheProgramsNewPicture) {
  driver.ShowSpectrumView();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.SpectrumView()));
  for (const QSize size : {QSize(300, 250), QSize(300, 250), QSize(200, 200), QSize(4000, 4000)}) {
    SCOPED_TRACE(size.width());
    const Surface saved = driver.ViewPicture(size.width(), size.height());
    EXPECT_EQ(window.SpectrumView()->Canvas()->size(), size);
    EXPECT_EQ(QSize(saved.width(), saved.height()), size);
    EXPECT_EQ(saved.At(150, 50), (Rgb{250, 250, 250}));
    EXPECT_EQ(saved.At(0, 0), (Rgb{10, 20, 30}));
  }
  ASSERT_EQ(program.inputs.size(), 3u) << "the same size again needs no new picture";
  EXPECT_EQ(program.inputs[0].kind, ViewInput::Kind::Resize);
  EXPECT_EQ(program.inputs[0].width, 300);
  EXPECT_EQ(program.inputs[0].height, 250);
  EXPECT_EQ(driver.SpectrumViewSize().width, 4000);
}

}  // namespace
}  // namespace lxr4
