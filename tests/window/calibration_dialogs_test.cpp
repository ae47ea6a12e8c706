// The Lines and Residuals dialog's own widgets and the questions, where the
// golden cases (which select rows and press buttons through the driver) do
// not reach: rows chosen with the mouse and keys, the buttons' defaults.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "qt/calibration_dialogs.h"
#include "qt/qt_window.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

class LinesDialog : public testing::Test {
 protected:
  LinesDialog() : dialog(nullptr, [this](const LineTableEdit& e) { edits.push_back(e); }) {
    LineTable six{{}, "No fit yet"};
    for (int i = 0; i < 6; ++i) six.rows.push_back({std::to_string(5000 + i), "Ne", "100", "", "", "", true});
    dialog.SetTable(six);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  void Press(const char* name) { dialog.findChild<QAbstractButton*>(QString::fromLatin1(name))->click(); }

  std::vector<LineTableEdit> edits;
  LineTableDialog dialog;
};

// A click, a Ctrl+click and a Shift+click choose rows 1, 3 and 4 to 5
// (from 0); one press of Remove hands them over together. Clear takes all.
TEST_F(LinesDialog, RemoveTakesEverySelectedRowAtOnceAndClearTheWholeTable) {
  QTableWidget* table = dialog.Table();
  const std::pair<int, Qt::KeyboardModifiers> clicks[] = {
      {1, {}}, {3, Qt::ControlModifier}, {4, Qt::ControlModifier}, {5, Qt::ShiftModifier}};
  for (const auto& [row, keys] : clicks)
    QTest::mouseClick(table->viewport(), Qt::LeftButton, keys, table->visualItemRect(table->item(row, 0)).center());
  Press(kRemoveLineName);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].kind, LineTableEdit::Kind::Remove);
  std::vector<int> rows = edits[0].rows;
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<int>{1, 3, 4, 5}));
  Press(kClearLinesName);
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(edits[1].kind, LineTableEdit::Kind::Clear);
}

using Questions = ShownWindow;

// What Enter and Escape press: No before lines are replaced, OK before the
// PDF file is offered; Escape always the second button.
TEST_F(Questions, EnterAndEscapePressTheSaferButton) {
  const struct {
    Buttons buttons;
    Qt::Key key;
    bool yes;
  } cases[] = {{Buttons::YesNo, Qt::Key_Return, false},
               {Buttons::YesNo, Qt::Key_Escape, false},
               {Buttons::OkCancel, Qt::Key_Return, true},
               {Buttons::OkCancel, Qt::Key_Escape, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.buttons == Buttons::YesNo ? "Yes/No " : "OK/Cancel ") << c.key);
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->objectName().toStdString(), kQuestionName);
      QTest::keyClick(box, c.key);
    });
    EXPECT_EQ(window.Ask("Replace them?", c.buttons), c.yes);
  }
}

}  // namespace
}  // namespace lxr4
