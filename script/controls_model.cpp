#include "script/controls_model.h"

#include <cstddef>

namespace lxr4 {

ControlsModel::ControlsModel() {
  for (const ControlInfo& info : AllControls()) {
    ControlState c;
    if (info.kind != ControlKind::TextBox) c.text = std::string(info.caption);
    c.value = info.value;
    c.minimum = info.minimum;
    c.maximum = info.maximum;
    c.on = info.selected;
    states_.push_back(std::move(c));
  }
}

ControlState& ControlsModel::operator[](Control c) { return states_[static_cast<std::size_t>(c)]; }
const ControlState& ControlsModel::operator[](Control c) const {
  return states_[static_cast<std::size_t>(c)];
}

ControlView ControlsModel::View(Control c) const {
  const ControlState& s = (*this)[c];
  ControlView v;
  v.text = s.text;
  v.colour = s.colour;
  v.index = s.selected;
  v.entryCount = static_cast<int>(s.entries.size());
  if (Info(c).kind == ControlKind::ComboBox)
    v.text = s.selected >= 0 ? s.entries[static_cast<std::size_t>(s.selected)] : std::string();
  v.value = s.value;
  v.minimum = s.minimum;
  v.maximum = s.maximum;
  v.on = s.on;
  return v;
}

}  // namespace lxr4

namespace lxr4 {

std::string_view KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Form:
      return "window";
    case ControlKind::Label:
      return "label";
    case ControlKind::Button:
      return "command button";
    case ControlKind::CheckBox:
      return "check box";
    case ControlKind::OptionButton:
      return "option button";
    case ControlKind::ScrollBar:
      return "scroll bar";
    case ControlKind::ComboBox:
      return "combo box";
    case ControlKind::TextBox:
      return "text box";
    case ControlKind::Rectangle:
      return "rectangle";
    case ControlKind::Picture:
      return "picture box";
    case ControlKind::Line:
      return "line";
  }
  return "control";
}

}  // namespace lxr4
