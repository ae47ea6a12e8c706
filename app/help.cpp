// The Help menu: the user guide and the program's name, version and the
// licences of the libraries it is built with.
#include <string>

#include "app/procedures.h"

namespace lxr4 {

void userGuide_Click(Program& app) {
  Window& w = app.w;
  const std::string path = w.UserGuidePath();
  if (path.empty()) {
    w.MessageBox(
        "The user guide was not found with the program. It is the file docs/user-guide.md "
        "of the program's sources.");
  } else if (!w.OpenDocument(path)) {
    w.MessageBox("The user guide could not be shown. It is the file " + path +
                 "; open it with any text viewer.");
  }
}

void about_Click(Program& app) {
  app.w.MessageBox(
      "Tavrin LXR-4 Spectral Calibration Program\n"
      "Version " LXR4_VERSION
      "\n\n"
      "Built with these libraries, under their own licences:\n"
      "Qt 6: GNU Lesser General Public License, version 3\n"
      "CFITSIO: the CFITSIO licence (NASA/GSFC, BSD-style)\n"
      "libpng: the libpng licence\n"
      "zlib: the zlib licence");
}

}  // namespace lxr4
