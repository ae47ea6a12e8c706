// QtPrinter: the printer operations of the platform interface on a QPrinter.
// Page coordinates are points (1/72 inch) from the top-left corner of the
// printable area. One document runs from the first operation to End or Abort.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/window.h"

class QPainter;
class QPrinter;

namespace lxr4 {

class QtPrinter {
 public:
  QtPrinter();
  ~QtPrinter();
  QtPrinter(const QtPrinter&) = delete;
  QtPrinter& operator=(const QtPrinter&) = delete;

  // Sends each document to the PDF file `path` instead of the system's default
  // printer; an empty path goes back to the printer.
  void SendToPdf(const QString& path);

  // Value 2 turns the page to landscape; other values change nothing. The
  // operations fail (false or nullopt) when there is no printer or it reports
  // an error; the document is then left begun until Abort.
  [[nodiscard]] bool Setup(int value);
  [[nodiscard]] std::optional<PageSize> Size();
  [[nodiscard]] std::optional<TextSize> Measure(std::string_view text);
  [[nodiscard]] bool Text(double x, double y, std::string_view text);
  [[nodiscard]] bool Line(double x1, double y1, double x2, double y2);
  // Ends the document and sends it.
  [[nodiscard]] bool End();
  // Drops a begun document: nothing of it is printed or left in a file.
  void Abort();

 private:
  bool Open();   // the printer of the current document, created on first use
  bool Paint();  // the painter of the current document, begun on first drawing
  [[nodiscard]] bool Healthy() const;
  [[nodiscard]] double Scale() const;  // device pixels per point

  QString pdfPath_;
  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
};

}  // namespace lxr4
