// File > FITS Import...: the dialog of the FITS import settings, and the
// settings kept in the user's configuration between runs.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <algorithm>

#include "qt/qt_window.h"
#include "qt/user_settings.h"
#include "qt/widgets.h"

namespace lxr4 {

namespace {
constexpr const char* kFitsImportKey = "fitsImport";
}  // namespace

// The widgets have object names, by which a driven session fills them in.
std::optional<FitsImportFields> QtWindow::FitsImportDialog(const FitsImportFields& shown) {
  if (ended_) return std::nullopt;
  QDialog dialog(main_.get());
  dialog.setObjectName(QStringLiteral("fitsImportDialog"));
  dialog.setWindowTitle(QStringLiteral("FITS Import"));
  auto* form = new QFormLayout(&dialog);
  auto* axis = new QComboBox(&dialog);
  axis->setObjectName(QStringLiteral("fitsAxis"));
  axis->addItems({QStringLiteral("Automatic"), QStringLiteral("Along rows"), QStringLiteral("Along columns")});
  axis->setCurrentIndex(static_cast<int>(shown.axis));
  form->addRow(QStringLiteral("Dispersion axis:"), axis);
  auto* full = new QCheckBox(QStringLiteral("Full resolution: a 768-pixel window (else the whole length, binned)"),
                             &dialog);
  full->setObjectName(QStringLiteral("fitsFullResolution"));
  full->setChecked(shown.fullResolution);
  form->addRow(full);
  auto* start = new QLineEdit(QString::fromStdString(shown.windowStart), &dialog);
  start->setObjectName(QStringLiteral("fitsWindowStart"));
  start->setEnabled(shown.fullResolution);
  QObject::connect(full, &QCheckBox::toggled, start, &QLineEdit::setEnabled);
  form->addRow(QStringLiteral("Window starts at frame pixel:"), start);
  auto* size = new QLineEdit(QString::fromStdString(shown.pixelSize), &dialog);
  size->setObjectName(QStringLiteral("fitsPixelSize"));
  form->addRow(QStringLiteral("Pixel size (um) when the header has none:"), size);
  auto* units = new QCheckBox(QStringLiteral("Export values in the frame's own units"), &dialog);
  units->setObjectName(QStringLiteral("fitsFrameUnits"));
  units->setChecked(shown.frameUnits);
  form->addRow(units);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  FitsImportFields fields;
  fields.axis = static_cast<FitsImportFields::Axis>(std::clamp(axis->currentIndex(), 0, 2));
  fields.fullResolution = full->isChecked();
  fields.windowStart = start->text().toStdString();
  fields.pixelSize = size->text().toStdString();
  fields.frameUnits = units->isChecked();
  return fields;
}

std::string QtWindow::FitsImportSetting() const {
  return UserSettings()->value(QLatin1String(kFitsImportKey)).toString().toStdString();
}

void QtWindow::KeepFitsImportSetting(const std::string& words) {
  UserSettings()->setValue(QLatin1String(kFitsImportKey), QString::fromStdString(words));
}

}  // namespace lxr4
