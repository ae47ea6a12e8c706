#include "script/view_actions.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "base/number_text.h"
#include "platform/plot_painter.h"
#include "script/script_error.h"

namespace lxr4 {

namespace {
template <typename T>
using Words = std::array<std::pair<std::string_view, T>, 3>;

constexpr Words<ViewUnits> kUnits{
    {{"angstrom", ViewUnits::Angstrom}, {"nm", ViewUnits::Nanometre}, {"pixel", ViewUnits::Pixel}}};
constexpr Words<ViewCheck> kChecks{
    {{"object", ViewCheck::Object}, {"lamp", ViewCheck::Lamp}, {"scale", ViewCheck::Scale}}};
constexpr Words<DragMode> kDragModes{
    {{"zoom", DragMode::Zoom}, {"measure", DragMode::Measure}, {"continuum", DragMode::Continuum}}};
constexpr Words<MeasureProfile> kProfiles{{{"gaussian", MeasureProfile::Gaussian},
                                           {"lorentzian", MeasureProfile::Lorentzian},
                                           {"voigt", MeasureProfile::Voigt}}};
constexpr std::array<std::pair<std::string_view, ViewKey>, 5> kKeys{{{"left", ViewKey::PanLeft},
                                                                     {"right", ViewKey::PanRight},
                                                                     {"in", ViewKey::ZoomIn},
                                                                     {"out", ViewKey::ZoomOut},
                                                                     {"home", ViewKey::Reset}}};

template <typename List>
auto Find(const List& list, std::string_view word) -> std::optional<typename List::value_type::second_type> {
  for (const auto& [w, v] : list)
    if (w == word) return v;
  return std::nullopt;
}

// The shortest text that reads back as `v`.
std::string Text(double v) {
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v).ptr;
  return std::string(buffer.data(), end);
}

bool& Box(ViewControls& c, ViewCheck check) {
  switch (check) {
    case ViewCheck::Object:
      return c.showObject;
    case ViewCheck::Lamp:
      return c.showLamp;
    case ViewCheck::Scale:
      break;
  }
  return c.scaleOverlays;
}
}  // namespace

std::string_view ViewUnitsWord(ViewUnits units) {
  for (const auto& [w, v] : kUnits)
    if (v == units) return w;
  return "pixel";
}

std::optional<ViewUnits> FindViewUnits(std::string_view word) { return Find(kUnits, word); }
std::optional<ViewCheck> FindViewCheck(std::string_view word) { return Find(kChecks, word); }
std::optional<ViewKey> FindViewKey(std::string_view word) { return Find(kKeys, word); }
std::optional<DragMode> FindDragMode(std::string_view word) { return Find(kDragModes, word); }
std::optional<MeasureProfile> FindProfile(std::string_view word) { return Find(kProfiles, word); }

std::string_view DragModeWord(DragMode mode) {
  for (const auto& [w, v] : kDragModes)
    if (v == mode) return w;
  return "zoom";
}

std::string_view ProfileWord(MeasureProfile profile) {
  for (const auto& [w, v] : kProfiles)
    if (v == profile) return w;
  return "gaussian";
}

ViewPoint ViewPointOf(const PlotPicture& picture, double value) {
  const PlotArea& a = picture.area;
  if (a.xFrom == a.xTo || !std::isfinite(a.xTo - a.xFrom))
    throw ScriptError("the Spectrum view shows no plot to point at");
  const double x = RoundHalfEven(a.left + (value - a.xFrom) / (a.xTo - a.xFrom) * (a.right - a.left));
  if (!(x >= a.left && x <= a.right))  // NaN too
    throw ScriptError(Text(value) + " lies outside the Spectrum view's plot (" + Text(a.xFrom) + " to " +
                      Text(a.xTo) + ")");
  return {static_cast<int>(x), (a.top + a.bottom) / 2};
}

std::optional<ViewInput> InputOfAction(const ViewAction& action, const PlotPicture& picture,
                                       const ViewControls& shown) {
  using K = ViewInput::Kind;
  ViewInput in;
  switch (action.kind) {
    case ViewAction::Kind::Range:
      in.kind = K::Range;
      in.fromText = action.fromText;
      in.toText = action.toText;
      return in;
    case ViewAction::Kind::Reset:
      in.kind = K::Reset;
      return in;
    case ViewAction::Kind::Units:
      if (action.units == shown.units) return std::nullopt;
      in.kind = K::Units;
      in.units = action.units;
      return in;
    case ViewAction::Kind::Show: {
      ViewControls after = shown;
      if (std::exchange(Box(after, action.check), action.on) == action.on) return std::nullopt;
      in.kind = K::Show;
      in.showObject = after.showObject;
      in.showLamp = after.showLamp;
      in.scaleOverlays = after.scaleOverlays;
      return in;
    }
    case ViewAction::Kind::Key:
      in.kind = K::Key;
      in.key = action.key;
      return in;
    case ViewAction::Kind::Drag:
      if (action.drag == shown.measure.drag) return std::nullopt;
      in.kind = K::Drag;
      in.drag = action.drag;
      return in;
    case ViewAction::Kind::Profile:
      if (action.profile == shown.measure.profile) return std::nullopt;
      in.kind = K::Profile;
      in.profile = action.profile;
      return in;
    case ViewAction::Kind::Medium:
      if (action.vacuum == shown.measure.vacuum) return std::nullopt;
      in.kind = K::Medium;
      in.vacuum = action.vacuum;
      return in;
    case ViewAction::Kind::Normalise:
      if (action.on == shown.measure.normalise) return std::nullopt;
      in.kind = K::Normalise;
      in.normalise = action.on;
      return in;
    case ViewAction::Kind::Rest:
      in.kind = K::Rest;
      in.restText = action.text;
      return in;
    case ViewAction::Kind::Shift:
      in.kind = K::Shift;
      in.shiftText = action.text;
      return in;
    case ViewAction::Kind::ShiftToRest:
      in.kind = K::ShiftToRest;
      return in;
    case ViewAction::Kind::ClearContinuum:
      in.kind = K::ClearContinuum;
      return in;
    case ViewAction::Kind::Click:
    case ViewAction::Kind::Wheel:
      break;
    case ViewAction::Kind::Box: {
      const ViewPoint from = ViewPointOf(picture, action.value), to = ViewPointOf(picture, action.value2);
      if (std::abs(to.x - from.x) <= kViewClickSlack)
        throw ScriptError("a box from " + Text(action.value) + " to " + Text(action.value2) + " is " +
                          std::to_string(std::abs(to.x - from.x)) + " pixels wide; a box needs more than " +
                          std::to_string(kViewClickSlack));
      in.kind = K::Box;
      in.x = from.x;
      in.y = from.y;
      in.x2 = to.x;
      return in;
    }
  }
  const ViewPoint at = ViewPointOf(picture, action.value);
  in.kind = action.kind == ViewAction::Kind::Click ? K::Click : K::Wheel;
  in.x = at.x;
  in.y = at.y;
  in.steps = action.kind == ViewAction::Kind::Wheel ? action.steps : 0;
  return in;
}

ViewControls ControlsAfter(const ViewControls& shown, const ViewInput& input) {
  ViewControls after = shown;
  switch (input.kind) {
    case ViewInput::Kind::Range:
      after.fromText = input.fromText;
      after.toText = input.toText;
      break;
    case ViewInput::Kind::Units:
      after.units = input.units;
      break;
    case ViewInput::Kind::Show:
      after.showObject = input.showObject;
      after.showLamp = input.showLamp;
      after.scaleOverlays = input.scaleOverlays;
      break;
    case ViewInput::Kind::Drag:
      after.measure.drag = input.drag;
      break;
    case ViewInput::Kind::Profile:
      after.measure.profile = input.profile;
      break;
    case ViewInput::Kind::Medium:
      after.measure.vacuum = input.vacuum;
      break;
    case ViewInput::Kind::Normalise:
      after.measure.normalise = input.normalise;
      break;
    case ViewInput::Kind::Rest:
      after.measure.restText = input.restText;
      break;
    case ViewInput::Kind::Shift:
      after.measure.shiftText = input.shiftText;
      break;
    default:
      break;
  }
  return after;
}

Surface PaintedView(const PlotPicture& picture, int width, int height) {
  Surface surface(width, height, picture.background);
  PaintPicture(picture, surface);
  return surface;
}

}  // namespace lxr4
