// The driver of lxr4-script --window and what it relies on in the real window:
// a held scroll bar thumb moved by the mouse, the open-file dialog answered
// through its own widgets, and how a failure inside a handler surfaces.
#include "qt/driver/window_driver.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "qt/qt_window.h"
#include "script/script_error.h"
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
