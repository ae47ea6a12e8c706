// The user's actions on the widgets, turned into the program's events. This is
// the only place where a widget signal reaches the program; everything the
// program does to a widget itself runs with the widget's signals blocked, so no
// handler ever runs twice for one change.
#include <QAbstractButton>
#include <QComboBox>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>

#include "qt/qt_window.h"
#include "qt/widgets.h"

namespace lxr4 {

void QtWindow::ConnectUserEvents() {
  for (const ControlInfo& info : AllControls()) {
    const Control id = info.id;
    QWidget* widget = Widget(id);
    switch (info.kind) {
      case ControlKind::Button:
      case ControlKind::CheckBox:  // the tick has toggled by the time `clicked` comes
        QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, widget,
                         [this, id] { Deliver(id, Event::Click); });
        break;
      case ControlKind::OptionButton: {
        // A click on the selected button changes nothing; one on another
        // selects it and clears the rest of the group.
        auto* option = static_cast<OptionButton*>(widget);
        QObject::connect(option, &QAbstractButton::clicked, option, [this, id, option] {
          if (!option->TakeSelectedByUser()) return;
          for (const ControlInfo& other : AllControls())
            if (other.kind == ControlKind::OptionButton && other.id != id) {
              auto* button = static_cast<OptionButton*>(Widget(other.id));
              const QSignalBlocker block(button);
              button->setChecked(false);
            }
          Deliver(id, Event::Click);
        });
        break;
      }
      case ControlKind::ScrollBar: {
        // A dragged thumb scrolls at each move, also one that keeps its value,
        // and changes when let go; an arrow, trough, key or wheel changes the
        // value at once.
        auto* bar = static_cast<ScrollBar*>(widget);
        QObject::connect(bar, &QScrollBar::valueChanged, bar, [this, id, bar] {
          if (!bar->MovingThumb()) Deliver(id, Event::Change);
        });
        bar->onThumbMoved = [this, id] { Deliver(id, Event::Scroll); };
        QObject::connect(bar, &QScrollBar::sliderReleased, bar, [this, id] { Deliver(id, Event::Change); });
        break;
      }
      case ControlKind::ComboBox:
        // `activated` comes only from the user, also for the entry already selected.
        QObject::connect(static_cast<QComboBox*>(widget), &QComboBox::activated, widget,
                         [this, id] { Deliver(id, Event::Click); });
        break;
      default:
        break;
    }
  }
  ConnectCursorKeys();
  contrast_->onClose = [this] { Deliver(Control::cmddone, Event::Click); };
  main_->onClose = [this] {
    if (ended_) return;
    Deliver(Control::Spectra, Event::Unload);
    EndProgram();  // closing the main window always ends the program
  };
}

// The keys move the cursor bar wherever the focus is in the main window, except
// in a text field, which keeps its own keys: each press is one step of the bar,
// a settled change, so its change handler runs once (through valueChanged).
void QtWindow::ConnectCursorKeys() {
  auto* bar = static_cast<ScrollBar*>(Widget(Control::hsbspectra));
  const std::pair<Qt::Key, QAbstractSlider::SliderAction> keys[] = {
      {Qt::Key_Left, QAbstractSlider::SliderSingleStepSub},
      {Qt::Key_Right, QAbstractSlider::SliderSingleStepAdd},
      {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
      {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
      {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
      {Qt::Key_End, QAbstractSlider::SliderToMaximum},
  };
  for (const auto& [key, action] : keys) {
    auto* shortcut = new QShortcut(QKeySequence(key), main_.get());
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, bar, [bar, action] { bar->triggerAction(action); });
  }
}

}  // namespace lxr4
