// "Print Graph": one page with the whole graphed spectrum.
#include "app/procedures.h"

namespace lxr4 {

void cmdprint_Click(App&) {}

}  // namespace lxr4
