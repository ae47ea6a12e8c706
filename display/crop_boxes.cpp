// The four crop-box scroll bars and the red crop lines.
#include "app/procedures.h"

namespace lxr4 {

void DrawCropLines(App&, Slot) {}
void hsbcropdata1_Scroll(App&) {}
void hsbcropdata1_Change(App&) {}
void hsbcropdata2_Scroll(App&) {}
void hsbcropdata2_Change(App&) {}
void hsbcropcal1_Scroll(App&) {}
void hsbcropcal1_Change(App&) {}
void hsbcropcal2_Scroll(App&) {}
void hsbcropcal2_Change(App&) {}

}  // namespace lxr4
