// "Save Strip Image": the graphed spectrum written as a new camera image file.
#include "app/procedures.h"

namespace lxr4 {

void cmdstrip_Click(App&) {}

}  // namespace lxr4
