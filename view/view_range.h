// The x range the Spectrum view shows, and how the user's zoom and pan move
// it. Pure code: every function returns a range inside the data's extent
// [lo, hi] and at least `minWidth` wide (the whole extent when that is
// narrower), whatever it is given; NaN or infinite inputs give the whole
// extent (or [0, 1] when the extent itself is not finite).
#pragma once

namespace lxr4 {

struct ViewRange {
  double from = 0, to = 1;
  friend bool operator==(const ViewRange&, const ViewRange&) = default;
};

// The data's extent (lo < hi, swapped when given the other way round) and the
// least width a zoom may reach (e.g. four samples' worth).
struct ViewExtent {
  double lo = 0, hi = 1;
  double minWidth = 0;
};

// `range` made valid: ends ordered, width between minWidth and the extent's
// (widened about its centre), then shifted inside the extent.
[[nodiscard]] ViewRange ClampRange(ViewRange range, const ViewExtent& extent);

// Zooms in by `factor` (> 1 in, < 1 out) keeping `about` at the same place on
// the screen (the wheel's value); a factor <= 0 or not finite changes nothing.
[[nodiscard]] ViewRange ZoomAbout(ViewRange range, double factor, double about, const ViewExtent& extent);

// The range between the two ends of a dragged box, in either order.
[[nodiscard]] ViewRange ZoomToBox(double a, double b, const ViewExtent& extent);

// Moves the range by `fraction` of its width (positive: to higher values),
// keeping its width; it stops at the extent's ends.
[[nodiscard]] ViewRange PanBy(ViewRange range, double fraction, const ViewExtent& extent);

// The whole extent.
[[nodiscard]] ViewRange ResetRange(const ViewExtent& extent);

}  // namespace lxr4
