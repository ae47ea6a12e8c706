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

#include "platform/qt/calibration_dialogs.h"
#include "platform/qt/qt_window.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

LineTable Rows(int count) {
  LineTable table;
  for (int i = 0; i < count; ++i) table.rows.push_back({std::to_string(5000 + i), "Ne", "100", "", "", "", true});
  table.summary = "No fit yet";
  return table;
}

QPoint RowCentre(QTableWidget* table, int row) {
  return table->visualItemRect(table->item(row, 0)).center();
}

class LinesDialog : public testing::Test {
 protected:
  LinesDialog() : dialog(nullptr, [this](const LineTableEdit& e) { edits.push_back(e); }) {
    dialog.SetTable(Rows(6));
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  void Press(const char* name) { dialog.findChild<QAbstractButton*>(QString::fromLatin1(name))->click(); }

  std::vector<LineTableEdit> edits;
  LineTableDialog dialog;
};

// A click, a Ctrl+click and a Shift+click choose rows 1, 3 and 4 to 5
// (from 0); one press of Remove hands them over together.
TEST_F(LinesDialog, RemoveTakesEverySelectedRowAtOnce) {
  QTableWidget* table = dialog.Table();
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, RowCentre(table, 1));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(table, 3));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(table, 4));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCentre(table, 5));
  Press(kRemoveLineName);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].kind, LineTableEdit::Kind::Remove);
  std::vector<int> rows = edits[0].rows;
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<int>{1, 3, 4, 5}));
}

TEST_F(LinesDialog, RemoveWithNothingSelectedDoesNothingAndClearTakesTheWholeTable) {
  dialog.Table()->clearSelection();
  Press(kRemoveLineName);
  EXPECT_TRUE(edits.empty());
  Press(kClearLinesName);
  ASSERT_EQ(edits.size(), 1u);
  EXPECT_EQ(edits[0].kind, LineTableEdit::Kind::Clear);
}

using Questions = ShownWindow;

// What Enter and Escape press: No before lines are replaced, OK before the
// PDF file is offered; Escape always the second button.
TEST_F(Questions, EnterAndEscapePressTheSaferButton) {
  const struct {
    const char* what;
    Buttons buttons;
    Qt::Key key;
    bool yes;
  } cases[] = {
      {"Yes/No, Enter", Buttons::YesNo, Qt::Key_Return, false},
      {"Yes/No, Escape", Buttons::YesNo, Qt::Key_Escape, false},
      {"OK/Cancel, Enter", Buttons::OkCancel, Qt::Key_Return, true},
      {"OK/Cancel, Escape", Buttons::OkCancel, Qt::Key_Escape, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QStringList buttons;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->objectName().toStdString(), kQuestionName);
      EXPECT_EQ(box->windowTitle().toStdString(), "LXR4");
      for (QAbstractButton* b : box->buttons()) buttons << b->text().remove(QLatin1Char('&'));
      QTest::keyClick(box, c.key);
    });
    EXPECT_EQ(window.Ask("Replace them?", c.buttons), c.yes);
    buttons.sort();
    EXPECT_EQ(buttons, c.buttons == Buttons::YesNo ? QStringList({"No", "Yes"}) : QStringList({"Cancel", "OK"}));
  }
}

}  // namespace
}  // namespace lxr4
