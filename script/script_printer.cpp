#include "script/script_printer.h"

#include "platform/files.h"

namespace lxr4 {

bool ScriptPrinter::Setup(int value) {
  // Value 2 turns the page, as the window's printer does.
  if (value == 2) document_.landscape = true;
  return Present();
}

std::optional<TextSize> ScriptPrinter::Measure(std::string_view text) {
  if (!Present()) return std::nullopt;
  // Characters, not bytes: UTF-8 continuation bytes do not start a character.
  int characters = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xc0u) != 0x80u) ++characters;
  return TextSize{8.0 * characters, 16.0};
}

bool ScriptPrinter::Text(Num x, Num y, std::string_view text) {
  if (!Present()) return false;
  if (!pdfPath_.empty())
    document_.marks.emplace_back(PrintedPage::Text{x.AsDouble(), y.AsDouble(), std::string(text)});
  return true;
}

bool ScriptPrinter::Line(Num x1, Num y1, Num x2, Num y2) {
  if (!Present()) return false;
  if (!pdfPath_.empty())
    document_.marks.emplace_back(
        PrintedPage::Line{x1.AsDouble(), y1.AsDouble(), x2.AsDouble(), y2.AsDouble()});
  return true;
}

bool ScriptPrinter::End() {
  if (!Present()) return false;
  PrintedPage document = std::move(document_);
  document_ = {};
  if (pdfPath_.empty()) return true;
  document.width = page_->width.AsDouble();
  document.height = page_->height.AsDouble();
  const std::optional<std::vector<std::uint8_t>> pdf = PdfPage(document, DocumentDate());
  return pdf && WriteFile(pdfPath_, *pdf) == FileError::None;
}

}  // namespace lxr4
