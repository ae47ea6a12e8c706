#include "qt/calibration_dialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <vector>

namespace lxr4 {

namespace {
QString ToQt(const std::string& s) { return QString::fromStdString(s); }

QLineEdit* Field(QWidget* parent, const char* name, const std::string& text) {
  auto* field = new QLineEdit(ToQt(text), parent);
  field->setObjectName(QString::fromLatin1(name));
  return field;
}

// OK and Cancel under a dialog's form.
void AddButtons(QDialog& dialog, QFormLayout* form) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
}
}  // namespace

std::optional<InstrumentFields> RunInstrumentDialog(QWidget* parent, const InstrumentFields& current) {
  QDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(kInstrumentDialogName));
  dialog.setWindowTitle(QStringLiteral("Instrument"));
  auto* form = new QFormLayout(&dialog);
  QLineEdit* density = Field(&dialog, kGrooveDensityName, current.grooveDensity);
  QLineEdit* deviation = Field(&dialog, kDeviationAngleName, current.deviationAngle);
  QLineEdit* reference = Field(&dialog, kReferenceColumnName, current.referenceColumn);
  auto* correction = new QCheckBox(QStringLiteral("Empirical correction of the LXR-4"), &dialog);
  correction->setObjectName(QString::fromLatin1(kCorrectionName));
  correction->setChecked(current.correction);
  QLineEdit* pixel = Field(&dialog, kPixelSizeName, current.pixelSize);
  pixel->setPlaceholderText(QStringLiteral("from the image"));
  form->addRow(QStringLiteral("Groove density (lines/mm):"), density);
  form->addRow(QStringLiteral("Deviation angle (degrees):"), deviation);
  form->addRow(QStringLiteral("Reference column:"), reference);
  form->addRow(QString(), correction);
  form->addRow(QStringLiteral("Pixel size (micrometres):"), pixel);
  AddButtons(dialog, form);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return InstrumentFields{density->text().toStdString(), deviation->text().toStdString(),
                          reference->text().toStdString(), correction->isChecked(),
                          pixel->text().toStdString()};
}

std::optional<LampFields> RunLampDialog(QWidget* parent, const LampFields& current) {
  QDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(kLampDialogName));
  dialog.setWindowTitle(QStringLiteral("Lamp"));
  auto* form = new QFormLayout(&dialog);
  form->addRow(new QLabel(QStringLiteral("The lamp's gases and line lists:"), &dialog));
  auto* grid = new QGridLayout;
  std::vector<QCheckBox*> boxes;
  for (const std::string& name : current.offered) {
    auto* box = new QCheckBox(ToQt(name), &dialog);
    box->setObjectName(QString::fromLatin1(kLampBoxPrefix) + ToQt(name));
    box->setChecked(std::find(current.chosen.begin(), current.chosen.end(), name) != current.chosen.end());
    const int i = static_cast<int>(boxes.size());
    grid->addWidget(box, i / 3, i % 3);
    boxes.push_back(box);
  }
  form->addRow(grid);
  auto* vacuum = new QCheckBox(QStringLiteral("Vacuum wavelengths (else air)"), &dialog);
  vacuum->setObjectName(QString::fromLatin1(kVacuumName));
  vacuum->setChecked(current.vacuum);
  form->addRow(vacuum);
  AddButtons(dialog, form);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  LampFields chosen{current.offered, {}, vacuum->isChecked()};
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i]->isChecked()) chosen.chosen.push_back(current.offered[i]);
  return chosen;
}

std::optional<AutoStartFields> RunAutoStartDialog(QWidget* parent, const AutoStartFields& current) {
  QDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(kAutoStartDialogName));
  dialog.setWindowTitle(QStringLiteral("Calibrate Automatically"));
  auto* form = new QFormLayout(&dialog);
  form->addRow(new QLabel(QStringLiteral("No calibration is in force: where does the lamp's spectrum lie?"), &dialog));
  QLineEdit* centre = Field(&dialog, kAutoCentreName, current.centre);
  QLineEdit* dispersion = Field(&dialog, kAutoDispersionName, current.dispersion);
  QLineEdit* tolerance = Field(&dialog, kAutoToleranceName, current.tolerance);
  form->addRow(QStringLiteral("Central wavelength (A):"), centre);
  form->addRow(QStringLiteral("Dispersion (A per pixel):"), dispersion);
  form->addRow(QStringLiteral("Either known to (%):"), tolerance);
  AddButtons(dialog, form);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return AutoStartFields{centre->text().toStdString(), dispersion->text().toStdString(),
                         tolerance->text().toStdString()};
}

LineTableDialog::LineTableDialog(QWidget* parent, std::function<void(const LineTableEdit&)> edit)
    : QDialog(parent), edit_(std::move(edit)) {
  setObjectName(QStringLiteral("linesAndResiduals"));
  setWindowTitle(QStringLiteral("Lines and Residuals"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, 7, this);
  table_->setObjectName(QString::fromLatin1(kLineTableName));
  table_->setHorizontalHeaderLabels({QStringLiteral("Wavelength (A)"), QStringLiteral("Label"),
                                     QStringLiteral("Centroid"), QStringLiteral("Fitted (A)"),
                                     QStringLiteral("Residual (A)"), QStringLiteral("Residual (px)"),
                                     QStringLiteral("Used")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);  // the label
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  layout->addWidget(table_);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("fitSummary"));
  layout->addWidget(summary_);
  auto* buttons = new QHBoxLayout;
  auto* remove = new QPushButton(QStringLiteral("&Remove"), this);
  remove->setObjectName(QString::fromLatin1(kRemoveLineName));
  remove->setToolTip(QStringLiteral("Remove the selected lines from the table"));
  remove->setAutoDefault(false);
  auto* clear = new QPushButton(QStringLiteral("&Clear"), this);
  clear->setObjectName(QString::fromLatin1(kClearLinesName));
  clear->setToolTip(QStringLiteral("Remove every line from the table"));
  clear->setAutoDefault(false);
  buttons->addWidget(remove);
  buttons->addWidget(clear);
  buttons->addStretch();
  layout->addLayout(buttons);
  resize(640, 560);

  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() != kUsedColumn) return;
    edit_({LineTableEdit::Kind::Used, item->row(), item->checkState() == Qt::Checked, {}});
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    LineTableEdit removal{LineTableEdit::Kind::Remove, 0, true, {}};
    for (const QModelIndex& row : table_->selectionModel()->selectedRows()) removal.rows.push_back(row.row());
    if (!removal.rows.empty()) edit_(removal);
  });
  connect(clear, &QPushButton::clicked, this, [this] { edit_({LineTableEdit::Kind::Clear, 0, true, {}}); });
}

void LineTableDialog::SetTable(const LineTable& table) {
  filling_ = true;
  const int rows = static_cast<int>(table.rows.size());
  table_->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    const LineTableRow& row = table.rows[static_cast<std::size_t>(r)];
    const std::array texts{&row.wavelength, &row.label,    &row.centroid,
                           &row.fitted,     &row.residual, &row.residualPixels};
    for (int c = 0; c <= kUsedColumn; ++c) {
      QTableWidgetItem* item = table_->item(r, c);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        if (c == kUsedColumn)
          item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        else
          item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (c != 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
      }
      if (c == kUsedColumn)
        item->setCheckState(row.used ? Qt::Checked : Qt::Unchecked);
      else
        item->setText(ToQt(*texts[static_cast<std::size_t>(c)]));
    }
  }
  summary_->setText(ToQt(table.summary));
  filling_ = false;
}

}  // namespace lxr4
