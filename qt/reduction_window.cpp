// The window's side of the Reduction menu and of opening a stack: the
// several-file open dialog and the Masters, Extraction and Instrument
// Response dialogs.
#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "qt/file_filter.h"
#include "qt/open_folder.h"
#include "qt/qt_window.h"
#include "qt/reduction_dialogs.h"
#include "qt/widgets.h"

namespace lxr4 {

// Qt's own dialog, as the single open, so that a driven session can answer it.
// The paths come in the order the user chose (or typed) them.
std::optional<std::vector<std::string>> QtWindow::OpenFilesDialog(std::string_view filter) {
  if (ended_) return std::nullopt;
  QFileDialog dialog(main_.get());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (const QString start = openFolder_->Start(); !start.isEmpty() && QDir(start).exists())
    dialog.setDirectory(start);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  QStringList filters;
  for (const std::string& entry : QtNameFilters(filter))
    filters << QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
  dialog.setNameFilters(filters);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  openFolder_->Remember(chosen.constFirst());
  std::vector<std::string> paths;
  for (const QString& file : chosen) paths.push_back(PathAsChosen(file));
  return paths;
}

std::optional<MastersFields> QtWindow::MastersDialog(const MastersFields& current) {
  if (ended_) return std::nullopt;
  return RunMastersDialog(main_.get(), *openFolder_, current);
}

std::optional<ExtractionFields> QtWindow::ExtractionDialog(const ExtractionFields& current) {
  if (ended_) return std::nullopt;
  return RunExtractionDialog(main_.get(), current);
}

std::optional<ResponseFields> QtWindow::ResponseDialog(const ResponseFields& current) {
  if (ended_) return std::nullopt;
  return RunResponseDialog(main_.get(), *openFolder_, current);
}

}  // namespace lxr4
