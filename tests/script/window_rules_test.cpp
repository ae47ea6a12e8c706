// The scripted window follows the real window's rules: nested handlers for
// values and entries set from code, none for option buttons, modal dialogs
// answered from the queues, and the user's actions.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "platform/script/recording_window.h"
#include "platform/script/script_error.h"
#include "platform/script/script_window.h"

namespace lxr4 {
namespace {

// Records the events it receives; `react` lets a handler call the window.
struct Sink final : EventSink {
  std::vector<std::pair<Control, Event>> events;
  std::function<void(Control, Event)> react;
  void OnEvent(Control c, Event e) override {
    events.emplace_back(c, e);
    if (react) react(c, e);
  }
};

struct Rules : testing::Test {
  std::ostringstream out;
  ScriptWindow inner;
  Transcript transcript{out};
  RecordingWindow w{inner, transcript};
  Sink sink;
  Rules() { inner.SetSink(&sink); }
  std::string Text() {
    transcript.Finish();
    return out.str();
  }
};

using Events = std::vector<std::pair<Control, Event>>;
constexpr Control kBar = Control::hsbspectra;

TEST_F(Rules, ScrollBarValueFromCode) {
  const struct {
    int value;
    int expected;
    bool change;
  } cases[] = {
      {381, 381, false},                // the value it has
      {400, 400, true},  {0, 1, true},  // clamped to the minimum
      {-5, 1, false},                   // clamped to the value it has
      {9999, 768, true},                // clamped to the maximum
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    sink.events.clear();
    w.SetValue(kBar, c.value);
    EXPECT_EQ(w.Value(kBar), c.expected);
    EXPECT_EQ(sink.events, (c.change ? Events{{kBar, Event::Change}} : Events{}));
  }
}

TEST_F(Rules, AMaximumBelowTheValueMovesTheValue) {
  w.SetMaximum(kBar, 500);  // above 381: no change
  EXPECT_EQ(sink.events, Events{});
  w.SetMaximum(kBar, 300);
  EXPECT_EQ(w.Value(kBar), 300);
  EXPECT_EQ(sink.events, (Events{{kBar, Event::Change}}));
  EXPECT_EQ(inner.View(kBar).maximum, 300);
}

TEST_F(Rules, NestedHandlerLinesComeBeforeTheCallersNextLine) {
  sink.react = [this](Control c, Event) {
    if (c == kBar) w.SetCaption(Control::Lblwavelength, "moved");
  };
  w.SetValue(kBar, 10);
  w.SetCaption(Control::Lblwavelength, "after");
  EXPECT_EQ(Text(),
            "value hsbspectra 10\n"
            "caption Lblwavelength \"moved\"\n"
            "caption Lblwavelength \"after\"\n");
}

TEST_F(Rules, SelectingAnEntryFromCodeRunsTheClickHandlerEvenForTheSameEntry) {
  w.AppendEntry(Control::cbobox, " 3 ");
  w.AppendEntry(Control::cbobox, " 5 ");
  w.SelectEntry(Control::cbobox, 1);
  w.SelectEntry(Control::cbobox, 1);
  EXPECT_EQ(sink.events, (Events{{Control::cbobox, Event::Click}, {Control::cbobox, Event::Click}}));
  EXPECT_EQ(inner.View(Control::cbobox).text, " 5 ");
  EXPECT_THROW(w.SelectEntry(Control::cbobox, 2), ScriptError);
}

TEST_F(Rules, OptionButtonsSetFromCodeRunNothing) {
  w.SetOption(Control::Lingraph, true);
  w.SetOption(Control::autograph, false);
  EXPECT_EQ(sink.events, Events{});
  EXPECT_TRUE(inner.View(Control::Lingraph).on);
  EXPECT_FALSE(inner.View(Control::autograph).on);
  EXPECT_EQ(Text(), "option Lingraph selected\noption autograph clear\n");
}

TEST_F(Rules, UserClicksOnOptionButtonsAndCheckBoxes) {
  inner.Click(Control::autograph);  // already selected: nothing happens
  EXPECT_EQ(sink.events, Events{});
  inner.Click(Control::loggraph);
  EXPECT_TRUE(inner.View(Control::loggraph).on);
  EXPECT_FALSE(inner.View(Control::autograph).on);
  inner.Click(Control::chkmedian);
  EXPECT_TRUE(w.Ticked(Control::chkmedian));
  inner.Click(Control::chkmedian);
  EXPECT_FALSE(w.Ticked(Control::chkmedian));
  EXPECT_EQ(sink.events, (Events{{Control::loggraph, Event::Click},
                                 {Control::chkmedian, Event::Click},
                                 {Control::chkmedian, Event::Click}}));
}

TEST_F(Rules, UserDragReleaseAndSet) {
  inner.Drag(kBar, 1000);  // clamped, scroll handler only
  EXPECT_EQ(w.Value(kBar), 768);
  inner.Release(kBar);
  inner.Set(kBar, 768);  // the value it has: nothing
  inner.Set(kBar, 5);
  EXPECT_EQ(sink.events, (Events{{kBar, Event::Scroll}, {kBar, Event::Change}, {kBar, Event::Change}}));
  EXPECT_EQ(Text(), "");  // the user's actions are not the program's
}

TEST_F(Rules, TheContrastDialogTakesAnswersUntilItsHandlerHidesIt) {
  int presses = 0;
  sink.react = [&](Control c, Event) {
    // Done refuses the first answer and keeps the dialog open.
    if (c == Control::cmddone && ++presses >= 2) w.HideDialog(Control::frmcontrast);
  };
  inner.QueueContrast(ContrastAnswer{"abc", "100"});
  inner.QueueContrast(ContrastAnswer{"10", "2000"});
  w.ShowDialog(Control::frmcontrast);
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(w.Text(Control::txtbackground), "10");
  EXPECT_EQ(w.Text(Control::txtrange), "2000");
  EXPECT_EQ(Text(), "show-dialog frmcontrast\nhide-dialog frmcontrast\n");

  inner.QueueContrast(std::nullopt);  // Done without editing
  w.ShowDialog(Control::frmcontrast);
  EXPECT_EQ(presses, 3);
  EXPECT_EQ(w.Text(Control::txtrange), "2000");
}

TEST_F(Rules, ADialogWithNoAnswerQueuedIsAScriptError) {
  EXPECT_THROW(w.ShowDialog(Control::frmcontrast), ScriptError);
  EXPECT_THROW((void)w.InputBox("p", "t", "d"), ScriptError);
  EXPECT_THROW((void)w.OpenFileDialog("f", 1, 0), ScriptError);
  // The error stays raised even if a handler caught it.
  EXPECT_THROW(inner.RaiseDropped(), ScriptError);
  EXPECT_NO_THROW(inner.RaiseDropped());
}

TEST_F(Rules, EndingTheProgramWritesExitAndStops) {
  EXPECT_THROW(w.EndProgram(), ProgramEnded);
  EXPECT_EQ(Text(), "exit\n");
  EXPECT_THROW(inner.RaiseDropped(), ProgramEnded);
}

TEST_F(Rules, AWindowCallOnTheWrongKindOfControlIsReported) {
  EXPECT_THROW(w.SetValue(Control::Label3, 1), ScriptError);
  EXPECT_THROW(w.AppendEntry(Control::hsbspectra, "x"), ScriptError);
  EXPECT_THROW(w.DrawLine(Control::Label3, Num{}, Num{}, Num{}, Num{}, kBlack), ScriptError);
}

TEST_F(Rules, DrawingLandsOnTheRightSurface) {
  w.PaintPoint(2.5, std::int16_t{3}, kRed);  // 2.5 rounds to 2
  w.DrawLine(Control::Picgraph, std::int16_t{0}, std::int16_t{0}, std::int16_t{3}, std::int16_t{0}, kGreen);
  EXPECT_EQ(inner.WindowSurface().At(2, 3), kRed);
  EXPECT_EQ(inner.GraphSurface().At(3, 0), kGreen);
  w.ClearGraph();
  EXPECT_EQ(inner.GraphSurface().At(3, 0), kWhite);
  EXPECT_EQ(inner.WindowSurface().At(0, 0), kWindowGrey);
}

}  // namespace
}  // namespace lxr4
