// The image drawing, contrast and crop box handlers.
// Each takes the program (state and window) and works on it.
#pragma once

#include "state/program.h"

namespace lxr4 {

// image rendering and contrast
void DrawObjectImage(Program& app);
void DrawCalImage(Program& app);
void cmdcontrast_Click(Program& app);
void cmdcontrast2_Click(Program& app);
void cmddone_Click(Program& app);
void chkexpand_Click(Program& app);

// crop boxes
void DrawCropLines(Program& app, Slot slot);
void hsbcropdata1_Scroll(Program& app);
void hsbcropdata1_Change(Program& app);
void hsbcropdata2_Scroll(Program& app);
void hsbcropdata2_Change(Program& app);
void hsbcropcal1_Scroll(Program& app);
void hsbcropcal1_Change(Program& app);
void hsbcropcal2_Scroll(Program& app);
void hsbcropcal2_Change(Program& app);

}  // namespace lxr4
