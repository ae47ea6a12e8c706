// The contrast dialog and the "Expand Spectra" check box.
#include "app/procedures.h"

namespace lxr4 {

void cmdcontrast_Click(App&) {}
void cmdcontrast2_Click(App&) {}
void cmddone_Click(App& app) { app.w.HideDialog(Control::frmcontrast); }
void chkexpand_Click(App&) {}

}  // namespace lxr4
