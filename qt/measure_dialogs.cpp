#include "qt/measure_dialogs.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>
#include <string>
#include <utility>

namespace lxr4 {

namespace {
QString ToQt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr int kColumns = static_cast<int>(kMeasurementColumns.size());
constexpr int kProfileColumn = kColumns - 1;  // the one column of words, not figures
}  // namespace

std::optional<ObservationFields> RunObservationDialog(QWidget* parent, const ObservationFields& current) {
  QDialog dialog(parent);
  dialog.setObjectName(QString::fromLatin1(kObservationDialogName));
  dialog.setWindowTitle(QStringLiteral("Observation"));
  auto* form = new QFormLayout(&dialog);
  form->addRow(new QLabel(
      QStringLiteral("When and where the spectrum was taken, for the barycentric correction:"), &dialog));
  const std::array<std::pair<const char*, const char*>, 7> rows{{
      {kObservationDateName, "Date and time (UTC):"},
      {kObservationExposureName, "Exposure (s):"},
      {kObservationRaName, "Right ascension (h:m:s or \u00b0):"},
      {kObservationDecName, "Declination (d:m:s or \u00b0):"},
      {kObservationLatitudeName, "Site latitude (\u00b0, north +):"},
      {kObservationLongitudeName, "Site longitude (\u00b0, east +):"},
      {kObservationHeightName, "Site height (m):"},
  }};
  const std::array<const std::string*, 7> texts{&current.date,  &current.exposure, &current.ra,
                                                &current.dec,   &current.latitude, &current.longitude,
                                                &current.height};
  std::array<QLineEdit*, 7> fields{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    fields[i] = new QLineEdit(ToQt(*texts[i]), &dialog);
    fields[i]->setObjectName(QString::fromLatin1(rows[i].first));
    form->addRow(QString::fromUtf8(rows[i].second), fields[i]);
  }
  fields[0]->setPlaceholderText(QStringLiteral("2026-03-15T22:30:00"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const auto typed = [&fields](std::size_t i) { return fields[i]->text().toStdString(); };
  return ObservationFields{typed(0), typed(1), typed(2), typed(3), typed(4), typed(5), typed(6)};
}

MeasurementTableDialog::MeasurementTableDialog(QWidget* parent,
                                               std::function<void(const MeasurementTableEdit&)> edit,
                                               std::function<void()> exportTable)
    : QDialog(parent), edit_(std::move(edit)) {
  setObjectName(QString::fromLatin1(kMeasurementsName));
  setWindowTitle(QStringLiteral("Measurements"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QString::fromLatin1(kMeasurementTableName));
  QStringList headings;
  for (const std::string_view heading : kMeasurementColumns) headings << ToQt(heading);
  table_->setHorizontalHeaderLabels(headings);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  layout->addWidget(table_);
  summary_ = new QLabel(this);
  summary_->setObjectName(QString::fromLatin1(kMeasurementSummaryName));
  summary_->setWordWrap(true);
  layout->addWidget(summary_);
  auto* buttons = new QHBoxLayout;
  const auto button = [this, buttons](const QString& text, const char* name, const QString& tip) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAutoDefault(false);
    buttons->addWidget(b);
    return b;
  };
  QPushButton* remove = button(QStringLiteral("&Remove"), kMeasurementRemoveName,
                               QStringLiteral("Remove the selected measurements from the table"));
  QPushButton* clear =
      button(QStringLiteral("&Clear"), kMeasurementClearName, QStringLiteral("Remove every measurement"));
  QPushButton* exported =
      button(QStringLiteral("&Export..."), kMeasurementExportName,
             QStringLiteral("Write the table to a file, as Measure > Export Measurements"));
  buttons->addStretch();
  layout->addLayout(buttons);
  resize(960, 320);  // all sixteen columns where the screen allows

  connect(remove, &QPushButton::clicked, this, [this] {
    MeasurementTableEdit removal{MeasurementTableEdit::Kind::Remove, {}};
    for (const QModelIndex& row : table_->selectionModel()->selectedRows()) removal.rows.push_back(row.row());
    if (!removal.rows.empty()) edit_(removal);
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    if (table_->rowCount() > 0) edit_({MeasurementTableEdit::Kind::Clear, {}});
  });
  connect(exported, &QPushButton::clicked, this, [exportTable = std::move(exportTable)] { exportTable(); });
}

void MeasurementTableDialog::SetTable(const MeasurementTable& table) {
  const int rows = static_cast<int>(table.rows.size());
  table_->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    const std::vector<std::string>& texts = table.rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < kColumns; ++c) {
      QTableWidgetItem* item = table_->item(r, c);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (c != kProfileColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(r, c, item);
      }
      // A row short of texts shows the missing ones empty.
      item->setText(static_cast<std::size_t>(c) < texts.size() ? ToQt(texts[static_cast<std::size_t>(c)])
                                                               : QString());
    }
  }
  summary_->setText(ToQt(table.summary));
}

}  // namespace lxr4
