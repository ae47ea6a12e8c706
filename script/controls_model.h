// The scripted platform's model of every control of both windows, starting
// from the control table: captions, colours (black), combo lists (empty, no
// selection), scroll bars, ticks, option buttons, text boxes and whether a
// form is shown. Plain storage: the window rules live in ScriptWindow.
#pragma once

#include <string>
#include <vector>

#include "base/controls.h"
#include "script/user_actions.h"

namespace lxr4 {

struct ControlState {
  std::string text;  // caption, or a text box's text
  Rgb colour = kBlack;
  std::vector<std::string> entries;
  int selected = -1;
  int value = 0, minimum = 0, maximum = 0;
  bool on = false;  // ticked, selected, or (a form) shown
};

class ControlsModel {
 public:
  ControlsModel();

  [[nodiscard]] ControlState& operator[](Control c);
  [[nodiscard]] const ControlState& operator[](Control c) const;
  [[nodiscard]] ControlView View(Control c) const;

 private:
  std::vector<ControlState> states_;
};

}  // namespace lxr4

namespace lxr4 {

// "label", "command button", "scroll bar", ... for messages.
[[nodiscard]] std::string_view KindName(ControlKind kind);

}  // namespace lxr4
