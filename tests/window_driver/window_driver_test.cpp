// The driver of lxr4-script --window and what it relies on in the real window:
// a held scroll bar thumb moved by the mouse, the open-file dialog answered
// through its own widgets, how a failure inside a handler surfaces, and the
// measuring row, Measurements table and Observation dialog worked from
// script lines.
#include "qt/driver/window_driver.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <stdexcept>

#include "qt/measure_dialogs.h"
#include "qt/qt_window.h"
#include "qt/spectrum_view_window.h"
#include "script/script_error.h"
#include "script/view_actions.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;
using E = Event;

// The centre of a horizontal scroll bar's thumb, where a user takes it.
QPoint ThumbCentre(const QScrollBar* bar) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = Qt::Horizontal;
  option.state |= QStyle::State_Horizontal;
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.singleStep = bar->singleStep();
  option.pageStep = bar->pageStep();
  return bar->style()
      ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar)
      .center();
}

TEST_F(ShownWindow, HeldThumbScrollsAtEveryMouseMoveAlsoInPlaceAndChangesWhenLetGo) {
  auto* bar = static_cast<QScrollBar*>(window.Widget(C::hsbcropdata1));  // 1..20
  std::vector<int> values;  // the bar's value at each event
  sink.then = [&](Control, Event) { values.push_back(window.Value(C::hsbcropdata1)); };
  const QPoint thumb = ThumbCentre(bar);
  const QPoint along = thumb + QPoint(bar->width() / 2, 0);
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(bar, thumb + QPoint(0, 1));  // across the bar: the value stays
  QTest::mouseMove(bar, along);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, along);
  const std::vector<Delivered> expected{
      {C::hsbcropdata1, E::Scroll}, {C::hsbcropdata1, E::Scroll}, {C::hsbcropdata1, E::Change}};
  EXPECT_EQ(sink.events, expected);
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0], 1) << "the move in place scrolls at the value the bar had";
  EXPECT_GT(values[1], 1);
  EXPECT_EQ(values[2], values[1]);
}

TEST_F(ShownWindow, ProgramFailureStaysOnTheProgramsSideAndNothingRunsAfterIt) {
  WindowDriver driver(window);
  driver.SetProgram(sink);
  sink.then = [](Control, Event) { throw std::runtime_error("the handler failed"); };
  driver.Click(C::cmdload);  // the failure does not travel through Qt's frames
  EXPECT_THROW(driver.RaiseDropped(), std::runtime_error);
  driver.Click(C::cmdload2);
  EXPECT_EQ(sink.events, (std::vector<Delivered>{{C::cmdload, E::Click}}));
  EXPECT_THROW(driver.RaiseDropped(), std::runtime_error) << "the session stays stopped";
}

// Each line of the measuring row, played on its widgets, hands the program
// the input the scripted window hands it (InputOfAction); a box already as
// the line wants it is left alone, as there.
TEST_F(ShownWindow, MeasuringRowLinesGiveTheScriptedWindowsInputs) {
  WindowDriver driver(window);
  driver.SetProgram(sink);
  ViewControls controls;
  controls.measure.restChoices = {"6562.80 H-alpha", "4861.33 H-beta"};
  window.SetSpectrumViewControls(controls);
  window.ShowSpectrumView();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.SpectrumView()));
  using A = ViewAction::Kind;
  const A kinds[] = {A::Drag,  A::Profile,     A::Medium,    A::Rest,      A::Rest,
                     A::Shift, A::ShiftToRest, A::Normalise, A::Normalise, A::ClearContinuum};
  std::vector<ViewAction> actions(std::size(kinds));
  for (std::size_t i = 0; i < actions.size(); ++i) actions[i].kind = kinds[i];
  actions[0].drag = DragMode::Measure;
  actions[1].profile = MeasureProfile::Lorentzian;
  actions[2].vacuum = true;
  actions[3].text = "4861.33 H-beta";  // an entry's own text
  actions[4].text = "5015.68 He I";
  actions[5].text = "-20";  // and Normalise on twice: the second finds the box ticked
  const auto said = [](const ViewInput& in) {
    return std::to_string(static_cast<int>(in.kind)) + ' ' + std::to_string(static_cast<int>(in.drag)) +
           std::to_string(static_cast<int>(in.profile)) + std::to_string(in.vacuum) +
           std::to_string(in.normalise) + ' ' + in.restText + '|' + in.shiftText;
  };
  std::vector<std::string> expected, got;
  for (const ViewAction& a : actions) {
    if (auto in = InputOfAction(a, {}, window.SpectrumView()->Controls())) expected.push_back(said(*in));
    driver.ActInView(a);
  }
  for (const ViewInput& in : sink.viewInputs) got.push_back(said(in));
  EXPECT_EQ(expected.size(), 9u);
  EXPECT_EQ(got, expected);
}

// Rows selected and Remove pressed, Clear pressed; a table not open or a row
// it lacks is the scripted window's script error; Clear on an empty table
// hands nothing on.
TEST_F(ShownWindow, MeasurementTableEditsAsTheScriptedWindow) {
  WindowDriver driver(window);
  driver.SetProgram(sink);
  const auto error = [&driver](const MeasurementTableEdit& edit) {
    try {
      driver.EditMeasurementTable(edit);
    } catch (const ScriptError& e) {
      return std::string(e.what());
    }
    return std::string("no script error");
  };
  using MK = MeasurementTableEdit::Kind;
  window.SetMeasurementTable({std::vector(3, std::vector<std::string>(kMeasurementColumns.size(), "1")), ""});
  EXPECT_EQ(error({MK::Clear, {}}), "the Measurements table is not open");
  window.ShowMeasurementTable();
  EXPECT_EQ(error({MK::Remove, {0, 3}}), "the Measurements table has no row 4 (it has 3)");
  driver.EditMeasurementTable({MK::Remove, {2, 0}});
  driver.EditMeasurementTable({MK::Clear, {}});
  window.SetMeasurementTable({});
  driver.EditMeasurementTable({MK::Clear, {}});
  ASSERT_EQ(sink.measurementEdits.size(), 2u);
  std::vector<int> rows = sink.measurementEdits[0].rows;
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<int>{0, 2}));
  EXPECT_EQ(sink.measurementEdits[1].kind, MK::Clear);
}

// The Observation dialog answered through its fields from the queue: typed
// and OK, Cancel, and none queued a script error.
TEST_F(ShownWindow, ObservationDialogAnsweredFromTheQueue) {
  WindowDriver driver(window);
  const ObservationFields current{
      "2026-03-15T22:30:00", "600", "05:35:17.3", "-05:23:28", "52.2", "0.12", "20"};
  const ObservationFields typed{"2026-03-16T01:00:00", "300", "83.82", "-5.39", "-33.9", "18.4", "1700"};
  driver.Answers().observations.Push(typed);
  driver.Answers().observations.Push(std::nullopt);
  EXPECT_EQ(driver.ObservationDialog(current), typed);
  EXPECT_EQ(driver.ObservationDialog(current), std::nullopt);
  EXPECT_THROW(static_cast<void>(driver.ObservationDialog(current)), ScriptError);
}

// The open-file dialog of a window run in a working folder holding a.km1 and sub/b.km1.
class OpenDialog : public testing::Test {
 protected:
  OpenDialog() : previous_(QDir::currentPath()) {
    for (const QString& name : {QStringLiteral("a.km1"), QStringLiteral("sub/b.km1")}) {
      QDir(folder_.path()).mkpath(QFileInfo(folder_.filePath(name)).path());
      QFile file(folder_.filePath(name));
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QDir::setCurrent(folder_.path());
  }
  ~OpenDialog() override { QDir::setCurrent(previous_); }

  // What the dialog gives for `answer` typed into its file name box.
  static std::optional<std::string> Chosen(std::optional<std::string> answer) {
    QtWindow window;
    WindowDriver driver(window);
    driver.Answers().opens.Push(std::move(answer));
    return driver.OpenFileDialog("All Files (*.*)|*.*|KM1 Files (*.KM1)|*.KM1", 1, 4);
  }

 private:
  QTemporaryDir folder_;
  QString previous_;
};

// The golden cases open files in the working folder and below it, a missing
// one, and cancel; a file outside the working folder is given whole.
TEST_F(OpenDialog, GivesAFileOutsideTheWorkingFolderWhole) {
  QTemporaryDir elsewhere;
  const std::string outside = QDir(elsewhere.path()).absoluteFilePath("c.km1").toStdString();
  EXPECT_EQ(Chosen(outside), outside);
}

TEST_F(OpenDialog, RefusesWhatNoUserCanChooseAsAScriptError) {
  const struct {
    const char* what;
    std::optional<std::string> answer;
    std::string error;
  } cases[] = {
      {"a folder", "sub", "the open-file dialog does not take \"sub\" as a file"},
      {"an empty name", "", "the open-file dialog does not take \"\" as a file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      Chosen(c.answer);
      ADD_FAILURE() << "no script error";
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.what(), c.error);
    }
  }
}

TEST_F(OpenDialog, TakesTheScriptsPathFromTheWorkingFolderWhereverTheDialogOpens) {
  EXPECT_THROW(Chosen("sub"), ScriptError);  // the user went into sub/: the next dialog opens there
  EXPECT_EQ(Chosen("a.km1"), "a.km1");
}

}  // namespace
}  // namespace lxr4
