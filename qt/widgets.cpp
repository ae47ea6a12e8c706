#include "qt/widgets.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <utility>

namespace lxr4 {

namespace {
// The surface's pixels as an image, without copying them.
QImage View(const Surface& surface) {
  return QImage(reinterpret_cast<const uchar*>(surface.Pixels().data()), surface.width(),
                surface.height(), surface.width() * 4, QImage::Format_RGB32);
}
}  // namespace

void MainForm::closeEvent(QCloseEvent* event) {
  if (onClose) onClose();
  event->accept();
}

SurfaceForm::SurfaceForm(const Surface& surface) : surface_(surface) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SurfaceForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, View(surface_));
}

void SurfaceForm::closeEvent(QCloseEvent* event) {
  if (onClose) onClose();
  event->accept();
}

GraphBox::GraphBox(const Surface& surface, QWidget* parent) : QFrame(parent), surface_(surface) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
}

void GraphBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(contentsRect().topLeft(), View(surface_));
}

Outline::Outline(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Outline::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void Outline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(colour_);
  painter.drawRect(0, 0, width() - 1, height() - 1);
}

ScrollBar::ScrollBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

template <typename Move>
void ScrollBar::MoveThumb(Move move) {
  movingThumb_ = true;
  move();
  movingThumb_ = false;
  if (isSliderDown() && onThumbMoved) onThumbMoved();
}

void ScrollBar::DragThumbTo(int position) {
  MoveThumb([&] { setSliderPosition(position); });
}

void ScrollBar::mouseMoveEvent(QMouseEvent* event) {
  MoveThumb([&] { QScrollBar::mouseMoveEvent(event); });
}

EntryBox::EntryBox(QWidget* parent) : QComboBox(parent) {}

int EntryBox::TextWidth() const {
  QStyleOptionComboBox option;
  initStyleOption(&option);
  // The style draws the text 1 pixel in from each side of the field.
  return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width() - 2;
}

QFont EntryBox::ShownFont() const {
  QFont shown = font();
  const QString text = currentText();
  for (int size = QFontInfo(shown).pixelSize(); size >= kLeastPixels; --size) {
    shown.setPixelSize(size);
    if (QFontMetrics(shown).horizontalAdvance(text) <= TextWidth()) break;
  }
  return shown;
}

QString EntryBox::ShownText() const {
  return QFontMetrics(ShownFont()).elidedText(currentText(), Qt::ElideMiddle, TextWidth());
}

void EntryBox::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  painter.setPen(palette().color(QPalette::Text));
  QStyleOptionComboBox option;
  initStyleOption(&option);
  painter.drawComplexControl(QStyle::CC_ComboBox, option);
  option.currentText = ShownText();
  painter.setFont(ShownFont());
  painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

void CaptionButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  // Inside the bevel; a pressed button's caption moves with its face.
  QRect area = rect().adjusted(2, 2, -2, -2);
  if (isDown() || isChecked())
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                 QPalette::ButtonText));
  painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}

OptionButton::OptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent) {
  setAutoExclusive(false);
}

bool OptionButton::TakeSelectedByUser() { return std::exchange(selectedByUser_, false); }

void OptionButton::nextCheckState() {
  if (isChecked()) return;
  setChecked(true);
  selectedByUser_ = true;
}

ProgramDialog::ProgramDialog(QWidget* parent) : QDialog(parent) {}

void ProgramDialog::reject() {
  if (onClose) onClose();
}

}  // namespace lxr4
