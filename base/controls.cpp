#include "base/controls.h"

#include <array>
#include <cstddef>

namespace lxr4 {

namespace {

using K = ControlKind;
using C = Control;

constexpr ControlInfo Ctl(C id, std::string_view name, K kind, C form, int l, int t, int w, int h,
                          std::string_view caption = {}) {
  return ControlInfo{id, name, kind, form, static_cast<std::int16_t>(l), static_cast<std::int16_t>(t),
                     static_cast<std::int16_t>(w), static_cast<std::int16_t>(h), caption};
}
constexpr ControlInfo Bar(C id, std::string_view name, int l, int t, int w, int h, int max, int value,
                          int large) {
  ControlInfo c = Ctl(id, name, K::ScrollBar, C::Spectra, l, t, w, h);
  c.minimum = 1;
  c.maximum = static_cast<std::int16_t>(max);
  c.value = static_cast<std::int16_t>(value);
  c.largeStep = static_cast<std::int16_t>(large);
  return c;
}
constexpr ControlInfo Bold(ControlInfo c) { c.bold = true; return c; }
constexpr ControlInfo Centred(ControlInfo c) { c.centred = true; return c; }
constexpr ControlInfo Selected(ControlInfo c) { c.selected = true; return c; }

constexpr C M = C::Spectra;
constexpr C D = C::frmcontrast;

// In the order of the enumeration.
constexpr std::array kControls{
    Ctl(C::Spectra, "Spectra", K::Form, M, 0, 0, kMainWidth, kMainHeight, kMainTitle),
    Ctl(C::Shphart1, "Shphart1", K::Rectangle, M, 4, 8, 768, 22),
    Ctl(C::shphart2, "shphart2", K::Rectangle, M, 4, 40, 768, 22),
    Bold(Ctl(C::Label3, "Label3", K::Label, M, 24, 64, 161, 25, "Object Spectrum:")),
    Ctl(C::lblfiledata1, "lblfiledata1", K::Label, M, 16, 96, 185, 25),
    Ctl(C::cmdload, "cmdload", K::Button, M, 16, 128, 49, 33, "Load Spectra"),
    Ctl(C::cmdcontrast, "cmdcontrast", K::Button, M, 72, 128, 49, 33, "Adjust Contrast"),
    Ctl(C::cmdcalcspectra, "cmdcalcspectra", K::Button, M, 128, 128, 57, 33, "Graph Spectra"),
    Ctl(C::cmdemission, "cmdemission", K::Button, M, 16, 168, 81, 33, "Calculate Line Wavelength"),
    Ctl(C::Shape1, "Shape1", K::Rectangle, M, 48, 288, 121, 81),
    Ctl(C::Label5, "Label5", K::Label, M, 64, 296, 81, 17, "Data Crop Box"),
    Bar(C::hsbcropdata1, "hsbcropdata1", 56, 320, 57, 17, 20, 1, 5),
    Ctl(C::lbldatacrop1, "lbldatacrop1", K::Label, M, 120, 320, 33, 17),
    Bar(C::hsbcropdata2, "hsbcropdata2", 56, 344, 57, 17, 20, 20, 5),
    Ctl(C::lbldatacrop2, "lbldatacrop2", K::Label, M, 120, 344, 33, 17),
    Ctl(C::Lingraph, "Lingraph", K::OptionButton, M, 224, 72, 97, 17, "Linear Graph"),
    Ctl(C::loggraph, "loggraph", K::OptionButton, M, 224, 88, 89, 17, "Log Graph"),
    Selected(Ctl(C::autograph, "autograph", K::OptionButton, M, 224, 104, 113, 17, "Autoscaled Graph")),
    Ctl(C::pushgraph, "pushgraph", K::OptionButton, M, 224, 120, 105, 17, "Pushed Graph"),
    Ctl(C::smoothing, "smoothing", K::CheckBox, M, 360, 72, 121, 17, "Smoothing On"),
    Ctl(C::chkexpand, "chkexpand", K::CheckBox, M, 360, 88, 97, 17, "Expand Spectra"),
    Ctl(C::chkfilter, "chkfilter", K::CheckBox, M, 360, 104, 97, 17, "Filter Airglow"),
    Ctl(C::chkmedian, "chkmedian", K::CheckBox, M, 360, 120, 81, 17, "Use Median"),
    Ctl(C::Picgraph, "Picgraph", K::Picture, M, 224, 144, 262, 114),
    Bar(C::hsbspectra, "hsbspectra", 224, 264, 265, 17, 768, 381, 10),
    Ctl(C::Lblwavelength, "Lblwavelength", K::Label, M, 248, 288, 225, 81),
    Bold(Ctl(C::Label2, "Label2", K::Label, M, 512, 64, 177, 25, "Calibration Spectrum:")),
    Ctl(C::lblfiledata2, "lblfiledata2", K::Label, M, 512, 96, 185, 25),
    Ctl(C::cmdload2, "cmdload2", K::Button, M, 512, 128, 49, 33, "Load Cal"),
    Ctl(C::cmdcontrast2, "cmdcontrast2", K::Button, M, 568, 128, 49, 33, "Adjust Contrast"),
    Ctl(C::Cmdcalccal, "Cmdcalccal", K::Button, M, 624, 128, 57, 33, "Graph Cal"),
    Ctl(C::cmdmarkline1, "cmdmarkline1", K::Button, M, 512, 168, 49, 33, "Mark Line 1"),
    Ctl(C::cmdmarkline2, "cmdmarkline2", K::Button, M, 568, 168, 49, 33, "Mark Line 2"),
    Centred(Ctl(C::Label1, "Label1", K::Label, M, 496, 216, 97, 33, "Identify Spectral Line (Angstroms)")),
    Ctl(C::cboscale, "cboscale", K::ComboBox, M, 496, 256, 97, 21),
    Centred(Ctl(C::Label4, "Label4", K::Label, M, 600, 208, 105, 41,
                "Select Width of Region for Centroid Calculation (pixels)")),
    Ctl(C::cbobox, "cbobox", K::ComboBox, M, 616, 256, 73, 21),
    Ctl(C::Shape2, "Shape2", K::Rectangle, M, 536, 288, 121, 81),
    Ctl(C::Label6, "Label6", K::Label, M, 552, 296, 89, 17, "Cal Crop Box"),
    Bar(C::hsbcropcal1, "hsbcropcal1", 544, 320, 57, 17, 20, 1, 1),
    Ctl(C::lblcalcrop1, "lblcalcrop1", K::Label, M, 608, 320, 33, 17),
    Bar(C::hsbcropcal2, "hsbcropcal2", 544, 344, 57, 17, 20, 20, 1),
    Ctl(C::lblcalcrop2, "lblcalcrop2", K::Label, M, 608, 344, 33, 17),
    Ctl(C::Line1, "Line1", K::Line, M, 712, 72, 712, 376),
    Ctl(C::cmdtext, "cmdtext", K::Button, M, 720, 192, 41, 41, "Write Text File"),
    Ctl(C::cmdstrip, "cmdstrip", K::Button, M, 720, 240, 41, 49, "Save Strip Image"),
    Ctl(C::cmdprint, "cmdprint", K::Button, M, 720, 296, 41, 41, "Print Graph"),
    Ctl(C::cmdexit, "cmdexit", K::Button, M, 720, 344, 41, 25, "Exit"),
    Ctl(C::frmcontrast, "frmcontrast", K::Form, D, 0, 0, kContrastWidth, kContrastHeight, kContrastTitle),
    Ctl(C::Lblbackground, "Lblbackground", K::Label, D, 8, 8, 97, 17, "Enter Background:"),
    Ctl(C::txtbackground, "txtbackground", K::TextBox, D, 104, 8, 57, 19),
    Ctl(C::lblrange, "lblrange", K::Label, D, 32, 32, 65, 17, "Enter Range:"),
    Ctl(C::txtrange, "txtrange", K::TextBox, D, 104, 32, 57, 19),
    Ctl(C::cmddone, "cmddone", K::Button, D, 176, 16, 49, 33, "Done"),
};

constexpr bool InEnumOrder() {
  for (std::size_t i = 0; i < kControls.size(); ++i)
    if (static_cast<std::size_t>(kControls[i].id) != i) return false;
  return true;
}
static_assert(InEnumOrder(), "the control table must follow the enumeration");

}  // namespace

std::span<const ControlInfo> AllControls() { return kControls; }
const ControlInfo& Info(Control c) { return kControls[static_cast<std::size_t>(c)]; }
std::string_view Name(Control c) { return Info(c).name; }

std::optional<Control> FindControl(std::string_view name) {
  for (const ControlInfo& c : kControls)
    if (c.name == name) return c.id;
  return std::nullopt;
}

}  // namespace lxr4
