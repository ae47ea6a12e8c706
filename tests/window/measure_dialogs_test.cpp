// The Measure menu's dialogs in the real window: the Measurements table's
// headings, texts and buttons (rows chosen with the mouse and keys), the
// Observation dialog's fields there and back, and the site kept across runs.
#include "qt/measure_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "qt/user_settings.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

class MeasurementsWindow : public ShownWindow {
 protected:
  MeasurementsWindow() {
    MeasurementTable four{{}, "Velocities not corrected: no observation"};
    for (int i = 0; i < 4; ++i) {
      std::vector<std::string> row(kMeasurementColumns.size(), "");
      row[0] = std::to_string(6560 + i) + ".00";
      row.back() = "Gaussian";
      four.rows.push_back(row);
    }
    window.SetMeasurementTable(four);  // before it shows, as after
    window.ShowMeasurementTable();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Dialog()));
  }
  MeasurementTableDialog* Dialog() { return window.MeasurementsDialog(); }
  void Press(const char* name) { Dialog()->findChild<QAbstractButton*>(QString::fromLatin1(name))->click(); }
};

// The program's texts under their headings, read-only. A click and a
// Shift+click choose rows 1 to 3 (from 0); one press of Remove hands them
// over together. Clear takes all, and on an empty table does nothing; Export
// is the menu item's.
TEST_F(MeasurementsWindow, ShowsTheTextsAndHandsOnRemoveClearAndExport) {
  QTableWidget* table = Dialog()->Table();
  ASSERT_EQ(table->columnCount(), static_cast<int>(kMeasurementColumns.size()));
  for (int c = 0; c < table->columnCount(); ++c)
    EXPECT_EQ(table->horizontalHeaderItem(c)->text().toStdString(),
              kMeasurementColumns[static_cast<std::size_t>(c)]);
  ASSERT_EQ(table->rowCount(), 4);
  EXPECT_EQ(table->item(2, 0)->text().toStdString(), "6562.00");
  EXPECT_FALSE(table->item(2, 0)->flags() & Qt::ItemIsEditable);
  EXPECT_EQ(Dialog()->findChild<QLabel*>(QString::fromLatin1(kMeasurementSummaryName))->text().toStdString(),
            "Velocities not corrected: no observation");

  for (const auto& [row, keys] :
       {std::pair{1, Qt::KeyboardModifiers{}}, std::pair{3, Qt::KeyboardModifiers{Qt::ShiftModifier}}})
    QTest::mouseClick(table->viewport(), Qt::LeftButton, keys,
                      table->visualItemRect(table->item(row, 0)).center());
  Press(kMeasurementRemoveName);
  Press(kMeasurementClearName);
  Press(kMeasurementExportName);
  window.SetMeasurementTable({});
  EXPECT_EQ(table->rowCount(), 0);
  Press(kMeasurementClearName);
  ASSERT_EQ(sink.measurementEdits.size(), 2u);
  EXPECT_EQ(sink.measurementEdits[0].kind, MeasurementTableEdit::Kind::Remove);
  std::vector<int> rows = sink.measurementEdits[0].rows;
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(rows, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(sink.measurementEdits[1].kind, MeasurementTableEdit::Kind::Clear);
  EXPECT_EQ(sink.menus, std::vector<MenuItem>{MenuItem::ExportMeasurements});
}

// The dialog opens with the program's texts and gives back the typed ones on
// OK, nothing on Cancel.
TEST_F(ShownWindow, ObservationDialogFieldsThereAndBack) {
  const ObservationFields current{
      "2026-03-15T22:30:00", "600", "05:35:17.3", "-05:23:28", "52.2", "0.12", "20"};
  const ObservationFields typed{"2026-03-16T01:00:00", "300", "83.82", "-5.39", "-33.9", "18.4", "1700"};
  const char* names[] = {kObservationDateName,  kObservationExposureName, kObservationRaName,
                         kObservationDecName,   kObservationLatitudeName, kObservationLongitudeName,
                         kObservationHeightName};
  const std::string ObservationFields::*members[] = {
      &ObservationFields::date,  &ObservationFields::exposure, &ObservationFields::ra,
      &ObservationFields::dec,   &ObservationFields::latitude, &ObservationFields::longitude,
      &ObservationFields::height};
  for (const bool ok : {true, false}) {
    SCOPED_TRACE(ok ? "OK" : "Cancel");
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->objectName().toStdString(), kObservationDialogName);
      for (std::size_t i = 0; i < std::size(names); ++i) {
        auto* field = dialog->findChild<QLineEdit*>(QString::fromLatin1(names[i]));
        ASSERT_NE(field, nullptr) << names[i];
        EXPECT_EQ(field->text().toStdString(), current.*members[i]);
        field->setText(QString::fromStdString(typed.*members[i]));
      }
      ok ? dialog->accept() : dialog->reject();
    });
    EXPECT_EQ(window.ObservationDialog(current), ok ? std::optional(typed) : std::nullopt);
  }
}

TEST(SiteSettings, KeptAcrossRunsAndNoneAtFirst) {
  UserSettings()->remove(kSiteKey);
  ObservationFields site;
  site.latitude = "-33.9";
  site.longitude = "18.4";
  site.height = "1700";
  {
    QtWindow first;
    EXPECT_FALSE(first.KeptSite());
    ObservationFields typed = site;
    typed.date = "2026-03-16T01:00:00";  // not the site's
    first.KeepSite(typed);
  }
  const QtWindow next;
  EXPECT_EQ(next.KeptSite(), site);
  UserSettings()->remove(kSiteKey);
}

}  // namespace
}  // namespace lxr4
