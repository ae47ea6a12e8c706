// The Spectrum view's script lines on the scripted window: values turned into
// pixels of the plot, the inputs the program gets, the controls and size the
// window keeps, the picture save-view paints, and the transcript's lines.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "script/recording_window.h"
#include "script/script_error.h"
#include "script/script_window.h"
#include "script/view_actions.h"

namespace lxr4 {
namespace {

using A = ViewAction::Kind;

// A plot from 4000 to 7000 over columns 100..700, rows 20..420: 5 units a pixel.
PlotPicture Plot(int width = kViewStartWidth, int height = kViewStartHeight) {
  PlotPicture p;
  p.width = width;
  p.height = height;
  p.background = Rgb{10, 20, 30};
  p.rects.push_back({100, 20, 601, 401, Rgb{250, 250, 250}});
  p.area = {100, 20, 700, 420, 4000, 7000};
  return p;
}

ViewAction Action(A kind, double value = 0, double value2 = 0) {
  ViewAction a;
  a.kind = kind;
  a.value = value;
  a.value2 = value2;
  return a;
}

std::string FaultOf(const std::function<void()>& act) {
  try {
    act();
  } catch (const ScriptError& e) {
    return e.what();
  }
  return "no fault";
}

// One unit a pixel over columns 10..18, where halves are exact: they go to
// the even column, onto the edges too; a column off the plot and a picture
// without a plot are script faults.
TEST(ViewPointOf, HalvesGoToEvenAndAValueOffThePlotIsAScriptFault) {
  PlotPicture p;
  p.area = {10, 0, 18, 100, 0, 8};
  const struct {
    double value;
    int x;
  } cases[] = {{2.5, 12}, {3.5, 14}, {-0.5, 10}, {8.5, 18}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(ViewPointOf(p, c.value).x, c.x);
    EXPECT_EQ(ViewPointOf(p, c.value).y, 50);
  }
  EXPECT_EQ(FaultOf([&] { (void)ViewPointOf(p, -0.6); }),
            "-0.6 lies outside the Spectrum view's plot (0 to 8)");
  EXPECT_EQ(FaultOf([&] { (void)ViewPointOf(p, 1e308); }),
            "1e+308 lies outside the Spectrum view's plot (0 to 8)");
  p.area.xTo = p.area.xFrom;
  EXPECT_EQ(FaultOf([&] { (void)ViewPointOf(p, 0); }), "the Spectrum view shows no plot to point at");
}

TEST(InputOfAction, ABoxOfThreePixelsOrLessIsAScriptFault) {
  const std::optional<ViewInput> box = InputOfAction(Action(A::Box, 6000, 5980), Plot(), {});
  ASSERT_TRUE(box);
  EXPECT_EQ(box->x, 500);
  EXPECT_EQ(box->x2, 496) << "4 pixels: a box, kept in the order dragged";
  EXPECT_EQ(FaultOf([&] { (void)InputOfAction(Action(A::Box, 6000, 5985), Plot(), {}); }),
            "a box from 6000 to 5985 is 3 pixels wide; a box needs more than 3");
}

// The program: keeps the view's inputs and answers a resize with a picture of the new size.
struct Sink final : EventSink {
  void OnEvent(Control, Event) override {}
  void OnMenu(MenuItem) override {}
  void OnSpectrumView(const ViewInput& in) override {
    inputs.push_back(in);
    if (in.kind == ViewInput::Kind::Resize) window->SetSpectrumView(Plot(in.width, in.height));
  }
  std::vector<ViewInput> inputs;
  Window* window = nullptr;
};

class ScriptedView : public testing::Test {
 protected:
  ScriptedView() {
    window.SetSink(&sink);
    sink.window = &window;
    window.SetSpectrumView(Plot());
  }
  ScriptWindow window;
  Sink sink;
};

TEST_F(ScriptedView, LinesBeforeTheViewIsOpenAreScriptFaults) {
  EXPECT_EQ(FaultOf([&] { window.ActInView(Action(A::Reset)); }), "the Spectrum view is not open");
  EXPECT_EQ(FaultOf([&] { (void)window.ViewPicture(800, 480); }), "the Spectrum view is not open");
  EXPECT_TRUE(sink.inputs.empty());
}

}  // namespace
}  // namespace lxr4
