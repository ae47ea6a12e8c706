// The scripted printer: present at start with a printable area of 1000 x 750
// units; a text measures 8 units per character (leading blanks included) by 16.
// Without a printer every operation fails. Sent to a PDF file, it writes each
// ended document there as a one-page PDF (pdf_page.h), whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "script/pdf_page.h"
#include "state/printer.h"

namespace lxr4 {

class ScriptPrinter final : public Printer {
 public:
  // nullopt: from now on there is no printer.
  void SetPage(std::optional<PageSize> page) { page_ = page; }

  // Always installed: `printer none` is a printer that fails.
  [[nodiscard]] bool Installed() const override { return true; }
  // The next documents go to the PDF file `path` (an empty path: to paper).
  void SendToPdf(const std::string& path) override { pdfPath_ = path; }
  [[nodiscard]] bool Setup(int value) override;
  [[nodiscard]] std::optional<PageSize> Size() override { return page_; }
  [[nodiscard]] std::optional<TextSize> Measure(std::string_view text) override;
  [[nodiscard]] bool Text(Num x, Num y, std::string_view text) override;
  [[nodiscard]] bool Line(Num x1, Num y1, Num x2, Num y2) override;
  // Sent to a PDF file, fails when the file cannot be made or written; an
  // older file of that name is then left as it was.
  [[nodiscard]] bool End() override;
  void Abort() override { document_ = {}; }

 private:
  [[nodiscard]] bool Present() const { return page_.has_value(); }

  std::optional<PageSize> page_ = PageSize{std::int32_t{1000}, std::int32_t{750}};
  std::string pdfPath_;
  PrintedPage document_;  // the marks of the document begun, for a PDF file
};

}  // namespace lxr4
