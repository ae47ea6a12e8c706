// The window's side of the Calibration menu: its two dialogs and the
// instrument settings kept between runs.
#include <QScreen>
#include <QStringList>
#include <utility>

#include "qt/calibration_dialogs.h"
#include "qt/placement.h"
#include "qt/qt_window.h"
#include "qt/user_settings.h"
#include "qt/widgets.h"

namespace lxr4 {

namespace {
// The Lines and Residuals dialog is made no smaller than this to fit beside the main window.
constexpr int kLeastLinesWidth = 420, kLeastLinesHeight = 240;
}  // namespace

std::optional<InstrumentFields> QtWindow::InstrumentDialog(const InstrumentFields& current) {
  if (ended_) return std::nullopt;
  return RunInstrumentDialog(main_.get(), current);
}

std::optional<LampFields> QtWindow::LampDialog(const LampFields& current) {
  if (ended_) return std::nullopt;
  return RunLampDialog(main_.get(), current);
}

std::optional<AutoStartFields> QtWindow::AutoStartDialog(const AutoStartFields& current) {
  if (ended_) return std::nullopt;
  return RunAutoStartDialog(main_.get(), current);
}

// Kept as the five texts: density, deviation, reference column, "on"/"off", pixel size.
std::optional<InstrumentFields> QtWindow::KeptInstrument() const {
  const QStringList kept = UserSettings()->value(QString::fromLatin1(kInstrumentKey)).toStringList();
  if (kept.size() != 5) return std::nullopt;
  return InstrumentFields{kept[0].toStdString(), kept[1].toStdString(), kept[2].toStdString(),
                          kept[3] == QStringLiteral("on"), kept[4].toStdString()};
}

void QtWindow::KeepInstrument(const InstrumentFields& f) {
  UserSettings()->setValue(
      QString::fromLatin1(kInstrumentKey),
      QStringList{QString::fromStdString(f.grooveDensity), QString::fromStdString(f.deviationAngle),
                  QString::fromStdString(f.referenceColumn),
                  f.correction ? QStringLiteral("on") : QStringLiteral("off"),
                  QString::fromStdString(f.pixelSize)});
}

LineTableDialog* QtWindow::LinesDialog() {
  if (lines_ == nullptr)
    lines_ = new LineTableDialog(main_.get(), [this](const LineTableEdit& edit) {
      if (sink_ && !ended_) sink_->OnLineTableEdit(edit);
    });
  return lines_;
}

void QtWindow::SetLineTable(const LineTable& table) { LinesDialog()->SetTable(table); }

// The first time beside the main window; after that where the user left it.
void QtWindow::ShowLineTable() {
  if (ended_) return;
  LineTableDialog* dialog = LinesDialog();
  if (!std::exchange(linesPlaced_, true)) PlaceBesideMain(dialog, QSize(kLeastLinesWidth, kLeastLinesHeight));
  dialog->show();
  dialog->raise();
}

// The dialog's frame is not known before it shows: it gets the main window's borders.
void QtWindow::PlaceBesideMain(QWidget* dialog, QSize least) {
  const QRect mainFrame = main_->frameGeometry();
  const QSize frameExtra = mainFrame.size() - main_->geometry().size();
  const QRect frame = PlaceBeside(mainFrame, dialog->size() + frameExtra, least + frameExtra,
                                  main_->screen()->availableGeometry());
  dialog->resize(frame.size() - frameExtra);
  dialog->move(frame.topLeft());
}

}  // namespace lxr4
