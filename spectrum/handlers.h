// The extraction handlers and the options that run them.
// Each takes the program (state and window) and works on it.
#pragma once

#include "state/program.h"

namespace lxr4 {

// extraction and its options
void ExtractObjectSpectrum(Program& app);
void ExtractCalSpectrum(Program& app);
void chkfilter_Click(Program& app);
void chkmedian_Click(Program& app);
void smoothing_Click(Program& app);

}  // namespace lxr4
