// Loading a camera image into the object or the calibration slot.
#include "app/procedures.h"

namespace lxr4 {

void cmdload_Click(App&) {}
void cmdload2_Click(App&) {}

}  // namespace lxr4
