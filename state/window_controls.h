// What the program does to the controls of its windows: captions, lists,
// scroll bars, ticks, text boxes, forms, the two drawing surfaces and the
// menus' ticks, by the window rules of docs/design.md.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/colour.h"
#include "base/controls.h"
#include "base/menus.h"
#include "base/num.h"

namespace lxr4 {

// A point painted on the main window surface, at single-precision coordinates.
struct PaintedPoint {
  float x = 0, y = 0;
  Rgb colour;
};

struct Bounds {
  std::int16_t left = 0, top = 0, width = 0, height = 0;
};

class WindowControls {
 public:
  virtual void SetCaption(Control label, std::string_view text) = 0;
  // A label's text colour or a rectangle outline's border colour.
  virtual void SetColour(Control control, Rgb colour) = 0;
  virtual void AppendEntry(Control combo, std::string_view text) = 0;
  // Selects entry `index` (0-based); the combo's click handler runs at once, nested.
  virtual void SelectEntry(Control combo, int index) = 0;
  [[nodiscard]] virtual int SelectedIndex(Control combo) const = 0;
  [[nodiscard]] virtual int Value(Control scrollBar) const = 0;
  // A different value runs the bar's change handler at once, nested; the same value runs nothing.
  virtual void SetValue(Control scrollBar, int value) = 0;
  // A maximum below the value moves the value to it, which is a change.
  virtual void SetMaximum(Control scrollBar, int maximum) = 0;
  [[nodiscard]] virtual bool Ticked(Control checkBox) const = 0;
  // Sets an option button's state; runs no handler.
  virtual void SetOption(Control optionButton, bool selected) = 0;
  [[nodiscard]] virtual std::string Text(Control textBox) const = 0;
  virtual void SetText(Control textBox, std::string_view text) = 0;
  [[nodiscard]] virtual Bounds GetBounds(Control control) const = 0;
  // Shows a dialog modally: returns once it has been hidden again.
  virtual void ShowDialog(Control form) = 0;
  virtual void HideDialog(Control form) = 0;

  // --- drawing; coordinates in pixels, rounded to the nearest pixel when painted
  // Points on the main window surface, painted in order; an image is painted a
  // row or a column at a time.
  virtual void PaintPoints(std::span<const PaintedPoint> points) = 0;
  // `surface` is Spectra (the main window) or Picgraph (the graph box).
  virtual void DrawLine(Control surface, Num x1, Num y1, Num x2, Num y2, Rgb colour) = 0;
  virtual void ClearGraph() = 0;

  // --- menus
  // Whether a checkable menu item carries its tick.
  [[nodiscard]] virtual bool MenuTicked(MenuItem item) const = 0;

 protected:
  ~WindowControls() = default;
};

}  // namespace lxr4
