// Printer: the printer operations of the Window interface, as one device that
// a window prints through. The Qt window prints on the system's printer
// (QtPrinter); the scripted platform has its scripted printer (ScriptPrinter),
// which a driven Qt window can take in place of its own. The printed page of
// "Print Graph" is drawn through one too.
#pragma once

#include <optional>
#include <string_view>

#include "platform/num.h"
#include "platform/window.h"

namespace lxr4 {

class Printer {
 public:
  virtual ~Printer() = default;

  // False when the system has no printer at all (only the system's printer
  // can be missing); a printer that is there may still fail its operations.
  [[nodiscard]] virtual bool Installed() const { return true; }
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
