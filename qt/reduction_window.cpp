// The window's side of the Reduction menu and of opening a stack: the
// several-file open dialog and the Masters, Extraction and Instrument
// Response dialogs.
#include "qt/qt_window.h"

namespace lxr4 {

std::optional<std::vector<std::string>> QtWindow::OpenFilesDialog(std::string_view) {
  return std::nullopt;
}

std::optional<MastersFields> QtWindow::MastersDialog(const MastersFields&) { return std::nullopt; }

std::optional<ExtractionFields> QtWindow::ExtractionDialog(const ExtractionFields&) { return std::nullopt; }

std::optional<ResponseFields> QtWindow::ResponseDialog(const ResponseFields&) { return std::nullopt; }

}  // namespace lxr4
