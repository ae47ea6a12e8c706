// QtPrinter: the printer operations of the platform interface on a QPrinter.
// Page coordinates are points (1/72 inch) from the top-left corner of the
// printable area. One document runs from the first operation to End or Abort.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string_view>

#include "state/printer.h"

class QPainter;
class QPrinter;

namespace lxr4 {

class QtPrinter final : public Printer {
 public:
  QtPrinter();
  ~QtPrinter() override;
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  // Sends each document to the PDF file `path` instead of the system's default
  // printer; an empty path goes back to the printer. The document is written
  // beside it and takes its place only once ended, so a dropped or failed
  // document leaves an older file of that name as it was.
  void SendToPdf(const QString& path);
  void SendToPdf(const std::string& path) override;

  // Whether the system has any printer, or documents go to a PDF file.
  [[nodiscard]] bool Installed() const override;

  // Value 2 turns the page to landscape; other values change nothing. The
  // operations fail (false or nullopt) when there is no printer or it reports
  // an error; the document is then left begun until Abort.
  [[nodiscard]] bool Setup(int value) override;
  [[nodiscard]] std::optional<PageSize> Size() override;
  [[nodiscard]] std::optional<TextSize> Measure(std::string_view text) override;
  [[nodiscard]] bool Text(Num x, Num y, std::string_view text) override;
  [[nodiscard]] bool Line(Num x1, Num y1, Num x2, Num y2) override;
  // Ends the document and sends it.
  [[nodiscard]] bool End() override;
  // Drops a begun document: nothing of it is printed or left in a file.
  void Abort() override;

 private:
  bool Open();   // the printer of the current document, created on first use
  bool Paint();  // the painter of the current document, begun on first drawing
  [[nodiscard]] bool Healthy() const;
  [[nodiscard]] double Scale() const;  // device pixels per point
  [[nodiscard]] QString PartPath() const;  // the PDF document while it is written

  QString pdfPath_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
};

}  // namespace lxr4
