// The few widgets the program's windows need beyond Qt's own: the main form
// and the graph box that show retained Surfaces, rectangle outlines, lists
// that show their entry whole, buttons whose captions wrap, option buttons
// that a click never clears, and the
// contrast dialog whose close box acts as its Done button.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWidget>
#include <functional>

#include "platform/surface.h"

namespace lxr4 {

// The main window: a menu bar above its client area (a SurfaceForm), the size
// of the two together fixed. `onClose` runs when the user closes it.
class MainForm final : public QMainWindow {
 public:
  MainForm() = default;
  std::function<void()> onClose;

 protected:
  void closeEvent(QCloseEvent* event) override;
};

// A form whose whole client area shows `surface`, under its child widgets.
// `onClose` runs when the user closes the form (as a window of its own).
class SurfaceForm final : public QWidget {
 public:
  explicit SurfaceForm(const Surface& surface);
  std::function<void()> onClose;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  const Surface& surface_;
};

// The graph box: a 2-pixel sunken border around a client area showing `surface`.
class GraphBox final : public QFrame {
 public:
  GraphBox(const Surface& surface, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Surface& surface_;
};

// A rectangle outline: only its 1-pixel border is painted, in its colour, and
// the mouse reaches whatever lies beneath it.
class Outline final : public QWidget {
 public:
  explicit Outline(QWidget* parent);
  void SetColour(const QColor& colour);
  [[nodiscard]] const QColor& Colour() const { return colour_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_{Qt::black};
};

// A horizontal scroll bar whose held thumb reports every move, as a classic
// scroll bar's thumb track does: `onThumbMoved` runs after each move of the
// held thumb, also one that leaves the value as it was. MovingThumb() tells a
// value change of such a move from any other (arrow, trough, key, code).
class ScrollBar final : public QScrollBar {
 public:
  explicit ScrollBar(QWidget* parent);
  std::function<void()> onThumbMoved;
  [[nodiscard]] bool MovingThumb() const { return movingThumb_; }
  // Moves the held thumb to `position` (kept within the range), as dragging it there does.
  void DragThumbTo(int position);

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // Runs `move`, which may move the thumb, and reports it when the thumb is held.
  template <typename Move>
  void MoveThumb(Move move);

  bool movingThumb_ = false;
};

// A drop-down list whose box shows the chosen entry whole: in a smaller font
// when the entry is too long for the box (down to kLeastPixels), cut in the
// middle beyond that. Typing chooses the entry that starts with the keys typed.
class EntryBox final : public QComboBox {
 public:
  static constexpr int kLeastPixels = 7;
  explicit EntryBox(QWidget* parent);
  // The font and text the box shows for the chosen entry.
  [[nodiscard]] QFont ShownFont() const;
  [[nodiscard]] QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  [[nodiscard]] int TextWidth() const;  // the room for the text in the box
};

// A command button whose caption wraps onto as many lines as its width needs,
// centred, as a classic desktop button shows a long caption.
class CaptionButton final : public QPushButton {
 public:
  CaptionButton(const QString& caption, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// An option button that a click selects but never clears. A click that
// selected it (it was clear) is reported once by TakeSelectedByUser.
class OptionButton final : public QRadioButton {
 public:
  OptionButton(const QString& caption, QWidget* parent);
  [[nodiscard]] bool TakeSelectedByUser();

 protected:
  void nextCheckState() override;

 private:
  bool selectedByUser_ = false;
};

// A dialog whose close box and Escape key run `onClose` instead of hiding it:
// the program decides when the dialog is hidden.
class ProgramDialog final : public QDialog {
 public:
  explicit ProgramDialog(QWidget* parent);
  std::function<void()> onClose;
  void reject() override;
};

}  // namespace lxr4
