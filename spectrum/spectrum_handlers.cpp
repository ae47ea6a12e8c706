// The two extractions run on the state, and the three option check boxes.
#include "app/procedures.h"

namespace lxr4 {

void ExtractObjectSpectrum(App&) {}
void ExtractCalSpectrum(App&) {}
void chkfilter_Click(App&) {}
void chkmedian_Click(App&) {}
void smoothing_Click(App&) {}

}  // namespace lxr4
