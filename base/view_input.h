// What the user does in the Spectrum view, as the window hands it to the
// program (EventSink::OnSpectrumView), and the view's controls as the program
// sets them (WindowViews::SetSpectrumViewControls). Positions are pixels of
// the view's picture; typed values come as typed, the program reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lxr4 {

enum class ViewUnits : std::uint8_t { Angstrom, Nanometre, Pixel };

enum class ViewKey : std::uint8_t { PanLeft, PanRight, ZoomIn, ZoomOut, Reset };

// What a box dragged along the plot does: zoom to it, measure the line in it,
// or mark it as continuum (for the lines measured beside it and the
// normalisation).
enum class DragMode : std::uint8_t { Zoom, Measure, Continuum };

// The profile fitted to a measured line.
enum class MeasureProfile : std::uint8_t { Gaussian, Lorentzian, Voigt };

struct ViewInput {
  enum class Kind : std::uint8_t {
    Resize,  // the picture's new size: width, height
    Click,   // a click at x, y: sets the cursor
    Wheel,   // the wheel turned `steps` notches at x, y (positive: zoom in)
    Box,     // a box dragged from x to x2: zoom to it
    Key,     // a key: `key`
    Range,   // the From and To boxes applied: fromText, toText, in the view's units
    Units,   // the units chosen: `units`
    Reset,   // the Reset button: the whole spectrum
    Show,    // the check boxes: showObject, showLamp, scaleOverlays
    // The measuring row:
    Drag,            // the drag mode chosen: `drag`
    Profile,         // the profile chosen: `profile`
    Rest,            // the rest wavelength typed or chosen: restText
    Shift,           // the shift typed (km/s) and Enter pressed: shiftText
    ShiftToRest,     // the To Rest button: shift by the last measured velocity
    Normalise,       // the Normalise box: `normalise`
    ClearContinuum,  // the Clear Continuum button
    Medium,          // air or vacuum wavelengths chosen: `vacuum`
  };
  Kind kind = Kind::Click;
  int x = 0, y = 0, x2 = 0;
  int steps = 0;
  int width = 0, height = 0;
  ViewKey key = ViewKey::Reset;
  std::string fromText, toText;
  ViewUnits units = ViewUnits::Angstrom;
  bool showObject = true, showLamp = true, scaleOverlays = true;
  DragMode drag = DragMode::Zoom;
  MeasureProfile profile = MeasureProfile::Gaussian;
  std::string restText, shiftText;
  bool normalise = false;
  bool vacuum = false;
};

// The measuring row of the view as the program sets it. The rest list's
// entries ("6562.80 H-alpha") are offered in the Rest box, which takes any text.
struct MeasureControls {
  DragMode drag = DragMode::Zoom;
  MeasureProfile profile = MeasureProfile::Gaussian;
  std::string restText, shiftText;
  bool normalise = false;
  bool vacuum = false;
  std::vector<std::string> restChoices;

  friend bool operator==(const MeasureControls&, const MeasureControls&) = default;
};

struct ViewControls {
  ViewUnits units = ViewUnits::Pixel;
  std::string fromText, toText;  // the range shown
  bool showObject = true, showLamp = true, scaleOverlays = true;
  MeasureControls measure;

  friend bool operator==(const ViewControls&, const ViewControls&) = default;
};

// The size of the view's picture when it first opens, in both windows.
inline constexpr int kViewStartWidth = 800;
inline constexpr int kViewStartHeight = 480;

}  // namespace lxr4
