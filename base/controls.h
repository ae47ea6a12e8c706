// The controls of the two windows: their names, kinds, places and start
// settings. Both window implementations build themselves from this table, and
// the program names controls only through the Control enumeration.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lxr4 {

enum class Control : std::uint8_t {
  // main window
  Spectra, Shphart1, shphart2, Label3, lblfiledata1, cmdload, cmdcontrast, cmdcalcspectra,
  cmdemission, Shape1, Label5, hsbcropdata1, lbldatacrop1, hsbcropdata2, lbldatacrop2,
  Lingraph, loggraph, autograph, pushgraph, smoothing, chkexpand, chkfilter, chkmedian,
  Picgraph, hsbspectra, Lblwavelength, Label2, lblfiledata2, cmdload2, cmdcontrast2,
  Cmdcalccal, cmdmarkline1, cmdmarkline2, Label1, cboscale, Label4, cbobox, Shape2, Label6,
  hsbcropcal1, lblcalcrop1, hsbcropcal2, lblcalcrop2, Line1, cmdtext, cmdstrip, cmdprint,
  cmdexit,
  // contrast dialog
  frmcontrast, Lblbackground, txtbackground, lblrange, txtrange, cmddone,
};

enum class ControlKind : std::uint8_t {
  Form, Label, Button, CheckBox, OptionButton, ScrollBar, ComboBox, TextBox, Rectangle,
  Picture, Line,
};

struct ControlInfo {
  Control id;
  std::string_view name;
  ControlKind kind;
  Control form;  // the window that carries it (a form names itself)
  std::int16_t left, top, width, height;  // a line: x1, y1, x2, y2
  std::string_view caption;
  // scroll bars: minimum, maximum, start value, trough step
  std::int16_t minimum = 0, maximum = 0, value = 0, largeStep = 0;
  bool selected = false;  // option button selected at start
  bool bold = false;      // bold 12 point heading
  bool centred = false;   // label text centred
};

std::span<const ControlInfo> AllControls();
const ControlInfo& Info(Control c);
std::string_view Name(Control c);
std::optional<Control> FindControl(std::string_view name);

inline constexpr std::string_view kMainTitle =
    "Tavrin LXR-4 Spectral Calibration Program - Version 1.0";
inline constexpr std::string_view kContrastTitle = "Adjust Background and Range";
inline constexpr std::string_view kMessageTitle = "LXR4";
inline constexpr int kMainWidth = 775, kMainHeight = 379;
inline constexpr int kGraphWidth = 258, kGraphHeight = 110;
inline constexpr int kContrastWidth = 250, kContrastHeight = 65;

}  // namespace lxr4
