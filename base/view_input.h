// What the user does in the Spectrum view, as the window hands it to the
// program (EventSink::OnSpectrumView), and the view's controls as the program
// sets them (WindowViews::SetSpectrumViewControls). Positions are pixels of
// the view's picture; typed values come as typed, the program reads them.
#pragma once

#include <cstdint>
#include <string>

namespace lxr4 {

enum class ViewUnits : std::uint8_t { Angstrom, Nanometre, Pixel };

enum class ViewKey : std::uint8_t { PanLeft, PanRight, ZoomIn, ZoomOut, Reset };

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
  };
  Kind kind = Kind::Click;
  int x = 0, y = 0, x2 = 0;
  int steps = 0;
  int width = 0, height = 0;
  ViewKey key = ViewKey::Reset;
  std::string fromText, toText;
  ViewUnits units = ViewUnits::Angstrom;
  bool showObject = true, showLamp = true, scaleOverlays = true;
};

struct ViewControls {
  ViewUnits units = ViewUnits::Pixel;
  std::string fromText, toText;  // the range shown
  bool showObject = true, showLamp = true, scaleOverlays = true;

  friend bool operator==(const ViewControls&, const ViewControls&) = default;
};

// The size of the view's picture when it first opens, in both windows.
inline constexpr int kViewStartWidth = 800;
inline constexpr int kViewStartHeight = 480;

}  // namespace lxr4
