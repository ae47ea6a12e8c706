// The line and width lists, and the two line marks.
#include "app/procedures.h"
#include "calibration/line_list.h"

namespace lxr4 {

void cboscale_Click(App& app) {
  const int index = app.w.SelectedIndex(Control::cboscale);
  if (index >= 0 && index < static_cast<int>(kSpectralLines.size()))
    app.s.SelectedLineWavelength = kSpectralLines[static_cast<std::size_t>(index)].wavelength;
}

void cbobox_Click(App& app) {
  const int index = app.w.SelectedIndex(Control::cbobox);
  if (index >= 0 && index < static_cast<int>(kCentroidWidths.size()))
    app.s.CentroidWidth = static_cast<std::int16_t>(kCentroidWidths[static_cast<std::size_t>(index)].width);
}

bool FindLineCentroid(App&) { return false; }
void cmdmarkline1_Click(App&) {}
void cmdmarkline2_Click(App&) {}

}  // namespace lxr4
