// The printed page of "Print Graph": the whole graphed spectrum in a framed
// plot with its scales, title, axis title and range labels, drawn through a
// Printer (state/printer.h), so that the page can be checked without one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/grid.h"
#include "state/printer.h"

namespace lxr4 {

// What the page shows.
struct GraphPage {
  std::string title;         // caption of the graphed image
  bool calibrated = false;   // wavelength scale (3800..8200 Angstroms) instead of pixel numbers
  const Spectrum& spectrum;  // columns 1..765 are drawn
  std::int32_t spectrumMax = 0, spectrumMin = 0;
  // Wavelength in Angstroms of a column (1..765); used only when calibrated.
  std::function<float(int column)> wavelength{};
};

// Prints the page in the program's order: page set-up 2, page size, title,
// axis title, vertical scale, horizontal scale, frame, range labels and curve
// (labels first without a calibration, curve first with one), end of
// document. Stops at the first step that fails (a printer operation, a
// position outside its 16- or 32-bit integer, a flat spectrum whose scale has
// no range) and returns false, the document left unended for the caller to abort.
[[nodiscard]] bool PrintGraphPage(const GraphPage& page, Printer& printer);

}  // namespace lxr4
