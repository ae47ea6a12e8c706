// The on-screen graph of the current spectrum and the buttons that choose it.
#include "app/procedures.h"

namespace lxr4 {

void DrawSpectrumGraph(App&) {}
void cmdcalcspectra_Click(App&) {}
void Cmdcalccal_Click(App&) {}
void Lingraph_Click(App&) {}
void loggraph_Click(App&) {}
void autograph_Click(App&) {}
void pushgraph_Click(App&) {}

}  // namespace lxr4
