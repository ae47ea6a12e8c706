// The Reduction menu: masters, how an object's spectrum is extracted from a
// frame, the instrument response; and File > Open Stack.
#include "app/procedures.h"

namespace lxr4 {

void openStack_Click(Program&) {}
void masters_Click(Program&) {}
void extraction_Click(Program&) {}
void instrumentResponse_Click(Program&) {}

}  // namespace lxr4
