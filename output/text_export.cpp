// "Write Text File": the graphed spectrum as a tab-separated text file.
#include "app/procedures.h"

namespace lxr4 {

void cmdtext_Click(App&) {}

}  // namespace lxr4
