// What a new user meets on the real window: the files named on the command
// line, the open-file dialog's first folder and its memory, the cursor keys,
// the line list's width, keys and shown entry, and the tooltips.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "qt/open_folder.h"
#include "qt/qt_window.h"
#include "qt/tooltips.h"
#include "qt/widgets.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

using C = Control;

// lxr4 --calibration LAMP IMAGE: each file answers the next open, no dialog
// shows. (A failing load is the golden case load-failure-unchanged.)
TEST_F(ProgramWindow, FilesFromTheCommandLineLoadThroughTheButtonsWithoutTheDialog) {
  ModalAnswerer user{QString()};
  window.AnswerNextOpen(LXR4_SAMPLES_DIR "/lamp.km1");
  app.OnEvent(C::cmdload2, Event::Click);
  window.AnswerNextOpen(LXR4_SAMPLES_DIR "/star.km1");
  app.OnEvent(C::cmdload, Event::Click);
  QTest::qWait(50);
  EXPECT_EQ(user.fileDialogs, 0);
  EXPECT_EQ(app.s.Cal.Loaded, kTrue);
  EXPECT_EQ(app.s.Object.Loaded, kTrue);
}

// Each key is one settled change of the cursor: its value moves and its change
// handler runs once, as for an arrow or trough click.
TEST_F(ProgramWindow, KeysMoveTheCursorWhereverTheFocusIs) {
  const auto* cursor = static_cast<QScrollBar*>(window.Widget(C::hsbspectra));
  window.AnswerNextOpen(LXR4_SAMPLES_DIR "/lamp.km1");
  app.OnEvent(C::cmdload2, Event::Click);
  ASSERT_EQ(cursor->value(), 382);
  RecordingSink sink;
  sink.then = [this](Control c, Event e) { app.OnEvent(c, e); };
  window.SetEventSink(&sink);
  const std::vector<Delivered> once{{C::hsbspectra, Event::Change}};
  window.Widget(C::cmdprint)->setFocus();
  const struct {
    Qt::Key key;
    int value;
  } presses[] = {{Qt::Key_Right, 383},  {Qt::Key_Left, 382}, {Qt::Key_PageDown, 392},
                 {Qt::Key_PageUp, 382}, {Qt::Key_End, 765},  {Qt::Key_Home, 1}};
  for (const auto& press : presses) {
    QTest::keyClick(QApplication::focusWidget(), press.key);
    EXPECT_EQ(cursor->value(), press.value) << press.key;
    EXPECT_EQ(app.s.CursorPixel.AsDouble(), press.value) << press.key;
    EXPECT_EQ(sink.Take(), once) << press.key;
  }
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
  EXPECT_EQ(sink.Take(), std::vector<Delivered>{}) << "no change at the end already reached";
  // The two lists too: neither holds a text field that would keep the keys.
  int value = 1;
  for (const Control list : {C::cbobox, C::cboscale}) {
    window.Widget(list)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(cursor->value(), ++value) << Name(list);
    EXPECT_EQ(sink.Take(), once) << Name(list);
  }
  window.SetEventSink(&app);
}

// Typed keys are not kept as text the list would throw away: they choose the
// entry that starts with them, as a click on it does. The list opens wide
// enough for its longest entry while the box keeps its size.
TEST_F(ProgramWindow, LineListChoosesTheEntryTypedAndOpensWideEnough) {
  auto* list = static_cast<QComboBox*>(window.Widget(C::cboscale));
  ASSERT_FALSE(list->isEditable());
  list->setFocus();
  QTest::keyClicks(list, "6562");
  EXPECT_EQ(list->currentText().toStdString(), "6562.852 (Ha)");
  EXPECT_EQ(app.s.SelectedLineWavelength.AsDouble(), 6562.852) << "chosen as by a click";
  int longest = 0;
  for (int i = 0; i < list->count(); ++i)
    longest = std::max(longest, list->view()->fontMetrics().horizontalAdvance(list->itemText(i)));
  EXPECT_GT(list->view()->minimumWidth(), longest);
  EXPECT_EQ(list->width(), Info(C::cboscale).width);
}

// The box shows the chosen entry whole: smaller when it is long, and cut in
// the middle only when even the smallest font is too wide.
TEST_F(ProgramWindow, LineListShowsTheChosenEntryWhole) {
  auto* list = static_cast<EntryBox*>(window.Widget(C::cboscale));
  const struct {
    const char* entry;
    bool smaller, whole;
  } cases[] = {
      {"5460.753 (Hg)", false, true},
      {"7642.025 (Xe I)", true, true},
      {"7642.025 (Xe I, a blend with 7643.1 and 7644.7)", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    window.AppendEntry(C::cboscale, c.entry);
    list->setCurrentIndex(list->count() - 1);
    EXPECT_EQ(list->ShownText() == QString::fromUtf8(c.entry), c.whole) << list->ShownText().toStdString();
    EXPECT_TRUE(list->ShownText().startsWith("7642") || !c.smaller) << "the first digits stay";
    EXPECT_EQ(list->ShownFont().pixelSize() < list->font().pixelSize(), c.smaller);
  }
}

// Every control says what it does; a path longer than its label shows is
// whole in the label's tooltip.
TEST_F(ProgramWindow, EveryControlSaysWhatItDoesAndAFileLabelTheWholePath) {
  for (const ControlInfo& info : AllControls()) {
    if (info.kind == ControlKind::Form) continue;
    EXPECT_FALSE(window.Widget(info.id)->toolTip().isEmpty()) << info.name;
  }
  const std::string path = "/home/observer/2026-12-05/v_a_lamp_neon_long_exposure_0001.fits (FITS, 1024 x 20)";
  window.SetCaption(C::lblfiledata1, path);
  EXPECT_EQ(window.Widget(C::lblfiledata1)->toolTip().toStdString(),
            std::string(ToolTip(C::lblfiledata1)) + ":\n" + path);
}

// First start: the installed samples are copied, writable, and the dialog
// starts there; a folder once chosen in is where it starts next.
TEST_F(ProgramWindow, OpenDialogStartsInTheUsersSamplesThenWhereTheUserWent) {
  QTemporaryDir installed, data, elsewhere;
  for (const char* name : {"lamp.km1", "star.km1"}) {
    const QString copy = installed.filePath(name);
    ASSERT_TRUE(QFile::copy(QStringLiteral(LXR4_SAMPLES_DIR "/") + name, copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
  }
  const QString samples = UserSamplesFolder(installed.path(), data.path());
  ASSERT_EQ(samples, data.filePath("samples"));
  EXPECT_EQ(QDir(samples).entryList(QDir::Files), (QStringList{"lamp.km1", "star.km1"}));
  EXPECT_TRUE(QFileInfo(samples + "/star.km1").isWritable());
  QFile::remove(samples + "/lamp.km1");
  EXPECT_EQ(UserSamplesFolder(installed.path(), data.path()), samples);
  EXPECT_FALSE(QFile::exists(samples + "/lamp.km1")) << "the user's folder is left as it is";
  EXPECT_EQ(UserSamplesFolder(QString(), data.path()), QString());

  OpenFolder folder(samples);
  folder.Remember(QDir(elsewhere.path()).filePath("gone/star.km1"));  // a folder that is not there
  window.UseOpenFolder(&folder);
  {
    ModalAnswerer user(samples + "/star.km1");
    QTest::mouseClick(window.Widget(C::cmdload), Qt::LeftButton);
    EXPECT_EQ(user.directory, samples);
  }
  ASSERT_TRUE(QFile::copy(samples + "/star.km1", elsewhere.filePath("star.km1")));
  {
    ModalAnswerer user(elsewhere.filePath("star.km1"));
    QTest::mouseClick(window.Widget(C::cmdload), Qt::LeftButton);
    EXPECT_EQ(user.directory, samples);
  }
  ModalAnswerer user{QString()};
  QTest::mouseClick(window.Widget(C::cmdload), Qt::LeftButton);
  EXPECT_EQ(user.directory, QFileInfo(elsewhere.path()).canonicalFilePath());
  window.UseOpenFolder(nullptr);
}

}  // namespace
}  // namespace lxr4
