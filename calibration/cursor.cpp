// The cursor scroll bar, its tick, and the wavelength read-out.
#include "app/procedures.h"

namespace lxr4 {

void hsbspectra_Scroll(App&) {}
void hsbspectra_Change(App&) {}
void cmdemission_Click(App&) {}
void ShowWavelengthAtPixel(App&) {}

}  // namespace lxr4
