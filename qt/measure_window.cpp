// The window's side of the Measure menu: the Observation dialog, the observing
// site kept between runs, and the non-modal Measurements table.
#include <QStringList>
#include <utility>

#include "qt/measure_dialogs.h"
#include "qt/qt_window.h"
#include "qt/user_settings.h"
#include "qt/widgets.h"

namespace lxr4 {

namespace {
// The Measurements table is made no smaller than this to fit beside the main window.
constexpr int kLeastMeasurementsWidth = 420, kLeastMeasurementsHeight = 200;
}  // namespace

std::optional<ObservationFields> QtWindow::ObservationDialog(const ObservationFields& current) {
  if (ended_) return std::nullopt;
  return RunObservationDialog(main_.get(), current);
}

// Kept as the three texts: latitude, longitude, height.
std::optional<ObservationFields> QtWindow::KeptSite() const {
  const QStringList kept = UserSettings()->value(QString::fromLatin1(kSiteKey)).toStringList();
  if (kept.size() != 3) return std::nullopt;
  ObservationFields site;
  site.latitude = kept[0].toStdString();
  site.longitude = kept[1].toStdString();
  site.height = kept[2].toStdString();
  return site;
}

void QtWindow::KeepSite(const ObservationFields& f) {
  UserSettings()->setValue(QString::fromLatin1(kSiteKey), QStringList{QString::fromStdString(f.latitude),
                                                                      QString::fromStdString(f.longitude),
                                                                      QString::fromStdString(f.height)});
}

// The Export button does what the menu item does.
MeasurementTableDialog* QtWindow::MeasurementsDialog() {
  if (measurements_ == nullptr)
    measurements_ = new MeasurementTableDialog(
        main_.get(),
        [this](const MeasurementTableEdit& edit) {
          if (sink_ && !ended_) sink_->OnMeasurementTableEdit(edit);
        },
        [this] { DeliverMenu(MenuItem::ExportMeasurements); });
  return measurements_;
}

void QtWindow::SetMeasurementTable(const MeasurementTable& table) { MeasurementsDialog()->SetTable(table); }

// The first time beside the main window; after that where the user left it.
void QtWindow::ShowMeasurementTable() {
  if (ended_) return;
  MeasurementTableDialog* dialog = MeasurementsDialog();
  if (!std::exchange(measurementsPlaced_, true))
    PlaceBesideMain(dialog, QSize(kLeastMeasurementsWidth, kLeastMeasurementsHeight));
  dialog->show();
  dialog->raise();
}

}  // namespace lxr4
