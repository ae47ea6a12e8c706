#include "view/view_range.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace lxr4 {

namespace {

ViewExtent Ordered(const ViewExtent& e) {
  if (!std::isfinite(e.lo) || !std::isfinite(e.hi)) return {0, 1, 0};
  ViewExtent o = e;
  if (o.lo > o.hi) std::swap(o.lo, o.hi);
  const double span = o.hi - o.lo;
  o.minWidth = std::isfinite(e.minWidth) ? std::clamp(e.minWidth, 0.0, span) : 0.0;
  return o;
}

// Sets the width to `width`, keeping the value at `anchor` (0 = from, 1 = to)
// in place, then shifts the range inside the extent.
ViewRange Placed(ViewRange r, double width, double anchor, const ViewExtent& e) {
  const double at = r.from + anchor * (r.to - r.from);
  r.from = at - anchor * width;
  r.to = r.from + width;
  if (r.from < e.lo) r = {e.lo, e.lo + width};
  if (r.to > e.hi) r = {e.hi - width, e.hi};
  r.from = std::max(r.from, e.lo);  // against rounding at the ends
  r.to = std::min(r.to, e.hi);
  return r;
}

ViewRange Fitted(ViewRange r, double anchor, const ViewExtent& e) {
  if (!std::isfinite(r.from) || !std::isfinite(r.to)) return {e.lo, e.hi};
  if (r.from > r.to) std::swap(r.from, r.to);
  const double width = std::clamp(r.to - r.from, e.minWidth, e.hi - e.lo);
  return Placed(r, width, anchor, e);
}

}  // namespace

ViewRange ClampRange(ViewRange range, const ViewExtent& extent) {
  return Fitted(range, 0.5, Ordered(extent));
}

ViewRange ZoomAbout(ViewRange range, double factor, double about, const ViewExtent& extent) {
  const ViewExtent e = Ordered(extent);
  ViewRange r = Fitted(range, 0.5, e);
  if (!(factor > 0) || !std::isfinite(factor) || !std::isfinite(about)) return r;
  const double width = r.to - r.from;
  const double anchor = width > 0 ? std::clamp((about - r.from) / width, 0.0, 1.0) : 0.5;
  return Placed(r, std::clamp(width / factor, e.minWidth, e.hi - e.lo), anchor, e);
}

ViewRange ZoomToBox(double a, double b, const ViewExtent& extent) {
  return Fitted({std::min(a, b), std::max(a, b)}, 0.5, Ordered(extent));
}

ViewRange PanBy(ViewRange range, double fraction, const ViewExtent& extent) {
  const ViewExtent e = Ordered(extent);
  ViewRange r = Fitted(range, 0.5, e);
  if (!std::isfinite(fraction)) return r;
  const double shift = fraction * (r.to - r.from);
  return Placed({r.from + shift, r.to + shift}, r.to - r.from, 0.5, e);
}

ViewRange ResetRange(const ViewExtent& extent) {
  const ViewExtent e = Ordered(extent);
  return {e.lo, e.hi};
}

}  // namespace lxr4
