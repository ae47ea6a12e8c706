// The scripted window's rules that the golden cases do not reach: a value moved
// by a lower maximum, and window calls the controls cannot take.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "script/recording_window.h"
#include "script/script_error.h"
#include "script/script_window.h"

namespace lxr4 {
namespace {

using Events = std::vector<std::pair<Control, Event>>;

struct Sink final : EventSink {
  Events events;
  void OnEvent(Control c, Event e) override { events.emplace_back(c, e); }
};

struct Rules : testing::Test {
  std::ostringstream out;
  ScriptWindow inner;
  Transcript transcript{out};
  RecordingWindow w{inner, transcript};
  Sink sink;
  Rules() { inner.SetSink(&sink); }
};

constexpr Control kBar = Control::hsbspectra;

// Set, clamped and same values are the golden case script-window-rules.
TEST_F(Rules, AMaximumBelowTheValueMovesItAsAChange) {
  const struct {
    int maximum, value;
    bool change;
  } steps[] = {{800, 381, false}, {300, 300, true}, {300, 300, false}};
  for (const auto& step : steps) {
    sink.events.clear();
    w.SetMaximum(kBar, step.maximum);
    EXPECT_EQ(w.Value(kBar), step.value);
    EXPECT_EQ(sink.events, (step.change ? Events{{kBar, Event::Change}} : Events{}));
  }
  EXPECT_EQ(inner.View(kBar).maximum, 300);
}

TEST_F(Rules, AWindowCallTheControlCannotTakeIsReported) {
  w.AppendEntry(Control::cbobox, " 3 ");
  const struct {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      {"value of a label", [&] { w.SetValue(Control::Label3, 1); }},
      {"entry of a scroll bar", [&] { w.AppendEntry(Control::hsbspectra, "x"); }},
      {"line on a label", [&] { w.DrawLine(Control::Label3, Num{}, Num{}, Num{}, Num{}, kBlack); }},
      {"entry beyond the list", [&] { w.SelectEntry(Control::cbobox, 1); }},
  };
  for (const auto& c : cases) EXPECT_THROW(c.call(), ScriptError) << c.what;
}

}  // namespace
}  // namespace lxr4
