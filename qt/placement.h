// Where a non-modal dialog goes on the screen: beside the main window, so
// that it leaves the main window's graph and cursor bar in sight.
#pragma once

#include <QRect>
#include <QSize>

namespace lxr4 {

// The frame (title bar and borders included) for a dialog that would like to
// be `wanted` in size, beside the main window's frame `main`, within the
// screen's available area `screen`: on the side (right or left) with more
// room, as wide as that room allows down to `least` wide; failing that below
// or above, as tall as the room allows down to `least` tall; failing both, as
// far to the right as the screen allows. Its top (or left) lines up with the
// main window's, moved to stay on the screen.
[[nodiscard]] QRect PlaceBeside(const QRect& main, const QSize& wanted, const QSize& least, const QRect& screen);

}  // namespace lxr4
