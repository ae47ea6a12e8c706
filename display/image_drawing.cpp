// Drawing the two image slots on the main window surface.
#include "app/procedures.h"

namespace lxr4 {

void DrawObjectImage(App&) {}
void DrawCalImage(App&) {}

}  // namespace lxr4
