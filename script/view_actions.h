// What a session script's user does in the Spectrum view, and the view input
// each action gives: pure code shared by the scripted window and the driver of
// the real one, so both hand the program the same inputs at the same pixels
// and save the same picture.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/plot_picture.h"
#include "base/view_input.h"
#include "platform/surface.h"

namespace lxr4 {

// The view's three check boxes.
enum class ViewCheck : std::uint8_t { Object, Lamp, Scale };

// One `view-...` line of a script. Values are in the view's units, as on its axis.
struct ViewAction {
  enum class Kind : std::uint8_t {
    Range, Reset, Click, Units, Show, Wheel, Box, Key,
    // The measuring row: a list chosen (drag, profile, medium), a text typed
    // and Enter pressed (rest, shift), a box or a button (normalise, to rest,
    // clear continuum).
    Drag, Profile, Medium, Rest, Shift, Normalise, ShiftToRest, ClearContinuum,
  };
  Kind kind = Kind::Reset;
  double value = 0, value2 = 0;  // Click, Wheel: value; Box: from value to value2
  int steps = 0;                 // Wheel; positive zooms in
  std::string fromText, toText;  // Range, as typed
  ViewUnits units = ViewUnits::Angstrom;
  ViewCheck check = ViewCheck::Object;  // Show: this box ticked (on) or cleared
  bool on = true;
  ViewKey key = ViewKey::Reset;
  DragMode drag = DragMode::Zoom;
  MeasureProfile profile = MeasureProfile::Gaussian;
  bool vacuum = false;  // Medium
  std::string text;     // Rest, Shift: as typed
};

// Script words: units "angstrom" "nm" "pixel"; boxes "object" "lamp" "scale";
// keys "left" "right" "in" "out" "home". nullopt for any other word.
[[nodiscard]] std::string_view ViewUnitsWord(ViewUnits units);
[[nodiscard]] std::optional<ViewUnits> FindViewUnits(std::string_view word);
[[nodiscard]] std::optional<ViewCheck> FindViewCheck(std::string_view word);
[[nodiscard]] std::optional<ViewKey> FindViewKey(std::string_view word);
// Drag modes "zoom" "measure" "continuum"; profiles "gaussian" "lorentzian"
// "voigt"; media "air" "vacuum".
[[nodiscard]] std::string_view DragModeWord(DragMode mode);
[[nodiscard]] std::optional<DragMode> FindDragMode(std::string_view word);
[[nodiscard]] std::string_view ProfileWord(MeasureProfile profile);
[[nodiscard]] std::optional<MeasureProfile> FindProfile(std::string_view word);

// The pixel column of `value` on the picture's plot area, halves to even, and
// the area's middle row. Throws ScriptError when the picture has no plot area
// (xFrom == xTo) or the column lies outside area.left..area.right.
struct ViewPoint {
  int x = 0, y = 0;
};
[[nodiscard]] ViewPoint ViewPointOf(const PlotPicture& picture, double value);

// The input the user's `action` gives on `picture` with the view's controls
// as `shown`: nullopt when nothing happens (a box ticked already, the units
// chosen already). Throws ScriptError for a point off the plot area and for a
// box dragged 3 pixels or less, which the window takes for a click.
[[nodiscard]] std::optional<ViewInput> InputOfAction(const ViewAction& action, const PlotPicture& picture,
                                                     const ViewControls& shown);

// `shown` as the user's input leaves the view's controls (units chosen, box
// ticked, texts typed); other inputs leave them as they are.
[[nodiscard]] ViewControls ControlsAfter(const ViewControls& shown, const ViewInput& input);

// The drag that counts as a box rather than a click: more than this many pixels along x.
inline constexpr int kViewClickSlack = 3;

// The picture painted on a `width` x `height` surface of its background, as
// `save-view` writes it.
[[nodiscard]] Surface PaintedView(const PlotPicture& picture, int width, int height);

}  // namespace lxr4
