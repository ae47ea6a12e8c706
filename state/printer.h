// Printer: the printer the window hands out (Window::Printer), one device
// that the program prints through. The Qt window prints on the system's printer
// (QtPrinter); the scripted platform has its scripted printer (ScriptPrinter),
// which a driven Qt window can take in place of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/num.h"

namespace lxr4 {

struct PageSize {
  Num width, height;
};
struct TextSize {
  double width = 0, height = 0;
};

class Printer {
 public:
  virtual ~Printer() = default;

  // False when the system has no printer at all (only the system's printer
  // can be missing); a printer that is there may still fail its operations.
  [[nodiscard]] virtual bool Installed() const { return true; }
  // Sends the next documents into the PDF file `path` instead of to paper; an
  // empty path sends them to paper again. A printer with no paper (the
  // scripted printer) prints as ever.
  virtual void SendToPdf(const std::string& path) { static_cast<void>(path); }
  // Each operation fails (false or nullopt) when there is no printer or it
  // reported an error. Coordinates and sizes are page units.
  [[nodiscard]] virtual bool Setup(int value) = 0;
  [[nodiscard]] virtual std::optional<PageSize> Size() = 0;
  [[nodiscard]] virtual std::optional<TextSize> Measure(std::string_view text) = 0;
  [[nodiscard]] virtual bool Text(Num x, Num y, std::string_view text) = 0;
  [[nodiscard]] virtual bool Line(Num x1, Num y1, Num x2, Num y2) = 0;
  // Ends the document and sends it.
  [[nodiscard]] virtual bool End() = 0;
  // Drops a begun document, so that nothing half-done is left.
  virtual void Abort() = 0;
};

}  // namespace lxr4
