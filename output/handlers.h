// The graph, printing and text export handlers.
// Each takes the program (state and window) and works on it.
#pragma once

#include "state/program.h"

namespace lxr4 {

// graph
void DrawSpectrumGraph(Program& app);
void cmdcalcspectra_Click(Program& app);
void Cmdcalccal_Click(Program& app);
void Lingraph_Click(Program& app);
void loggraph_Click(Program& app);
void autograph_Click(Program& app);
void pushgraph_Click(Program& app);

// printing and text export
void cmdprint_Click(Program& app);
void cmdtext_Click(Program& app);
// File > Print to PDF...: the printed page into a PDF file chosen in a save dialog.
void printPdf_Click(Program& app);
// File > Export Spectrum...: the graphed spectrum as a FITS or CSV file.
void exportSpectrum_Click(Program& app);

}  // namespace lxr4
