// How the driver works the Spectrum view: each script line becomes what a
// user's hand does to its widgets, at the pixels InputOfAction gives, so the
// program gets the input the scripted window hands it.
#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <string>
#include <utility>

#include "qt/driver/window_driver.h"
#include "qt/spectrum_view_window.h"
#include "script/script_error.h"

namespace lxr4 {

namespace {
constexpr int kResizeMilliseconds = 5000;  // for the window system to give the view its new size

template <class W = QAbstractButton>
W* Part(SpectrumViewWindow* view, const char* name) {
  return view->findChild<W*>(QString::fromLatin1(name));
}

void Mouse(QWidget* canvas, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
  QMouseEvent event(type, at, canvas->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QCoreApplication::sendEvent(canvas, &event);
}

// The field's text typed over and Enter pressed in `focus`, the widget that
// has the keys: the field itself, or the editable combo box that passes them on.
void TypeAndEnter(QLineEdit* field, QWidget* focus, const std::string& text) {
  field->clear();
  field->insert(QString::fromStdString(text));
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent enter(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(focus, &enter);
  }
}

void Key(QWidget* canvas, ViewKey key) {
  const std::pair<Qt::Key, const char*> keys[] = {
      {Qt::Key_Left, ""}, {Qt::Key_Right, ""}, {Qt::Key_Plus, "+"}, {Qt::Key_Minus, "-"}, {Qt::Key_Home, ""}};
  const auto& [code, text] = keys[static_cast<int>(key)];
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, code, Qt::NoModifier, QString::fromLatin1(text));
    QCoreApplication::sendEvent(canvas, &event);
  }
}
}  // namespace

SpectrumViewWindow* WindowDriver::OpenView() {
  SpectrumViewWindow* view = window_.SpectrumView();
  if (!view->isVisible()) throw ScriptError("the Spectrum view is not open");
  return view;
}

void WindowDriver::ActInView(const ViewAction& action) {
  SpectrumViewWindow* view = OpenView();
  const std::optional<ViewInput> input = InputOfAction(action, viewPicture_, view->Controls());
  if (!input) return;
  QWidget* canvas = view->Canvas();
  const QPoint at(input->x, input->y);
  switch (input->kind) {
    case ViewInput::Kind::Range:
      for (const auto& [name, text] :
           {std::pair{kViewFromName, &input->fromText}, std::pair{kViewToName, &input->toText}}) {
        auto* field = Part<QLineEdit>(view, name);
        field->clear();
        field->insert(QString::fromStdString(*text));
      }
      Part(view, kViewApplyName)->click();
      break;
    case ViewInput::Kind::Reset:
      Part(view, kViewResetName)->click();
      break;
    case ViewInput::Kind::Units:
      ChooseEntry(Part<QComboBox>(view, kViewUnitsName), static_cast<int>(input->units));
      break;
    case ViewInput::Kind::Show: {
      const char* names[] = {kViewObjectName, kViewLampName, kViewScaleName};
      Part(view, names[static_cast<int>(action.check)])->click();
      break;
    }
    case ViewInput::Kind::Click:
      Mouse(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton);
      Mouse(canvas, QEvent::MouseButtonRelease, at, Qt::NoButton);
      break;
    case ViewInput::Kind::Box: {
      const QPoint to(input->x2, input->y);
      Mouse(canvas, QEvent::MouseButtonPress, at, Qt::LeftButton);
      Mouse(canvas, QEvent::MouseMove, to, Qt::LeftButton);
      Mouse(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);
      break;
    }
    case ViewInput::Kind::Wheel: {
      QWheelEvent wheel(at, canvas->mapToGlobal(at), QPoint(), QPoint(0, input->steps * 120), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(canvas, &wheel);
      break;
    }
    case ViewInput::Kind::Key:
      Key(canvas, input->key);
      break;
    case ViewInput::Kind::Resize:
      break;
    case ViewInput::Kind::Drag:
      ChooseEntry(Part<QComboBox>(view, kViewDragName), static_cast<int>(input->drag));
      break;
    case ViewInput::Kind::Profile:
      ChooseEntry(Part<QComboBox>(view, kViewProfileName), static_cast<int>(input->profile));
      break;
    case ViewInput::Kind::Medium:
      ChooseEntry(Part<QComboBox>(view, kViewMediumName), input->vacuum ? 1 : 0);
      break;
    case ViewInput::Kind::Rest: {
      auto* rest = Part<QComboBox>(view, kViewRestName);
      TypeAndEnter(rest->lineEdit(), rest, input->restText);
      break;
    }
    case ViewInput::Kind::Shift: {
      auto* shift = Part<QLineEdit>(view, kViewShiftName);
      TypeAndEnter(shift, shift, input->shiftText);
      break;
    }
    case ViewInput::Kind::ShiftToRest:
      Part(view, kViewToRestName)->click();
      break;
    case ViewInput::Kind::Normalise:
      Part(view, kViewNormaliseName)->click();  // InputOfAction hands no input for the box as it stands
      break;
    case ViewInput::Kind::ClearContinuum:
      Part(view, kViewClearContinuumName)->click();
      break;
  }
  Settle();
  RaiseStop();
}

// The window resized by as much as the canvas must change; the window system
// answers in its own time, and the program's new picture comes with it.
Surface WindowDriver::ViewPicture(int width, int height) {
  SpectrumViewWindow* view = OpenView();
  QWidget* canvas = view->Canvas();
  const QSize target(width, height);
  if (canvas->size() != target) {
    view->resize(view->size() + target - canvas->size());
    const QDeadlineTimer deadline(kResizeMilliseconds);
    while (canvas->size() != target && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  Settle();
  RaiseStop();
  if (canvas->size() != target)
    throw ScriptError("the Spectrum view could not be made " + std::to_string(width) + " x " +
                      std::to_string(height) + " (its canvas is " + std::to_string(canvas->width()) + " x " +
                      std::to_string(canvas->height()) + ")");
  return PaintedView(viewPicture_, width, height);
}

}  // namespace lxr4
