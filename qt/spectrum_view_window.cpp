#include "qt/spectrum_view_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cstdlib>
#include <utility>

#include "platform/plot_painter.h"

namespace lxr4 {

namespace {
// A press and release this close (pixels, each way) are a click; a drag
// farther along x is a box.
constexpr int kSlack = 3;
constexpr int kNotch = 120;  // a wheel's notch in eighths of a degree

QColor ToQt(Rgb c) { return QColor(c.r, c.g, c.b); }

ViewInput Input(ViewInput::Kind kind) {
  ViewInput in;
  in.kind = kind;
  return in;
}
}  // namespace

ViewCanvas::ViewCanvas(QWidget* parent, std::function<void(const ViewInput&)> input)
    : QWidget(parent), input_(std::move(input)), band_(new QRubberBand(QRubberBand::Rectangle, this)) {
  setObjectName(QString::fromLatin1(kViewCanvasName));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  background_ = ToQt(PlotPicture{}.background);
}

// Painted once here through the one painter both windows use, then blitted as it is.
void ViewCanvas::SetPicture(const PlotPicture& picture) {
  area_ = picture.area;
  background_ = ToQt(picture.background);
  if (picture.width <= 0 || picture.height <= 0) {
    image_ = QImage();
  } else {
    Surface surface(picture.width, picture.height, picture.background);
    PaintPicture(picture, surface);
    image_ = QImage(reinterpret_cast<const uchar*>(surface.Pixels().data()), surface.width(),
                    surface.height(), surface.width() * 4, QImage::Format_RGB32)
                 .copy();
  }
  update();
}

void ViewCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_.width() < width() || image_.height() < height()) painter.fillRect(rect(), background_);
  painter.drawImage(0, 0, image_);
}

void ViewCanvas::resizeEvent(QResizeEvent*) {
  if (size() == reported_) return;
  reported_ = size();
  ViewInput in = Input(ViewInput::Kind::Resize);
  in.width = width();
  in.height = height();
  input_(in);
}

void ViewCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  pressed_ = event->position().toPoint();
  pressing_ = true;
}

// The band spans the plot's height (the canvas's without a plot) from the press to the pointer.
void ViewCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!pressing_) return QWidget::mouseMoveEvent(event);
  const int x = event->position().toPoint().x();
  if (std::abs(x - pressed_.x()) <= kSlack) return band_->hide();
  const bool plot = area_.bottom > area_.top;
  band_->setGeometry(QRect(QPoint(std::min(x, pressed_.x()), plot ? area_.top : 0),
                           QPoint(std::max(x, pressed_.x()), plot ? area_.bottom : height() - 1)));
  band_->show();
}

void ViewCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressing_) return QWidget::mouseReleaseEvent(event);
  pressing_ = false;
  band_->hide();
  const QPoint at = event->position().toPoint();
  const int dx = std::abs(at.x() - pressed_.x()), dy = std::abs(at.y() - pressed_.y());
  if (dx <= kSlack && dy <= kSlack) {
    ViewInput in = Input(ViewInput::Kind::Click);
    in.x = pressed_.x();
    in.y = pressed_.y();
    input_(in);
  } else if (dx > kSlack) {
    ViewInput in = Input(ViewInput::Kind::Box);
    in.x = pressed_.x();
    in.y = pressed_.y();
    in.x2 = at.x();
    input_(in);
  }
}

// Whole notches only: a fine-stepping wheel's eighths add up to the next.
void ViewCanvas::wheelEvent(QWheelEvent* event) {
  wheelEighths_ += event->angleDelta().y();
  const int steps = wheelEighths_ / kNotch;
  wheelEighths_ -= steps * kNotch;
  event->accept();
  if (steps == 0) return;
  ViewInput in = Input(ViewInput::Kind::Wheel);
  in.x = event->position().toPoint().x();
  in.y = event->position().toPoint().y();
  in.steps = steps;
  input_(in);
}

void ViewCanvas::keyPressEvent(QKeyEvent* event) {
  ViewKey key{};
  switch (event->key()) {
    case Qt::Key_Left:
      key = ViewKey::PanLeft;
      break;
    case Qt::Key_Right:
      key = ViewKey::PanRight;
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      key = ViewKey::ZoomIn;
      break;
    case Qt::Key_Minus:
      key = ViewKey::ZoomOut;
      break;
    case Qt::Key_Home:
      key = ViewKey::Reset;
      break;
    default:
      return QWidget::keyPressEvent(event);
  }
  ViewInput in = Input(ViewInput::Kind::Key);
  in.key = key;
  input_(in);
}

namespace {
template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}
}  // namespace

SpectrumViewWindow::SpectrumViewWindow(QWidget* parent, std::function<void(const ViewInput&)> input)
    : QWidget(parent, Qt::Window), input_(std::move(input)) {
  setObjectName(QString::fromLatin1(kSpectrumViewName));
  setWindowTitle(QStringLiteral("Spectrum"));
  auto* layout = new QVBoxLayout(this);
  // The row may be cut short: the canvas, not the controls, sets how small the window can be.
  auto* row = new QWidget(this);
  row->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* controls = new QHBoxLayout(row);
  controls->setContentsMargins(0, 0, 0, 0);
  units_ = Named(new QComboBox(row), kViewUnitsName);
  units_->addItems({QStringLiteral("Angstrom"), QStringLiteral("nm"), QStringLiteral("Pixel")});
  const int numberWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000.00"));
  from_ = Named(new QLineEdit(row), kViewFromName);
  to_ = Named(new QLineEdit(row), kViewToName);
  from_->setFixedWidth(numberWidth);
  to_->setFixedWidth(numberWidth);
  auto* apply = Named(new QPushButton(QStringLiteral("Apply"), row), kViewApplyName);
  auto* reset = Named(new QPushButton(QStringLiteral("Reset"), row), kViewResetName);
  object_ = Named(new QCheckBox(QStringLiteral("Object"), row), kViewObjectName);
  lamp_ = Named(new QCheckBox(QStringLiteral("Lamp"), row), kViewLampName);
  scale_ = Named(new QCheckBox(QStringLiteral("Scale overlays"), row), kViewScaleName);
  controls->addWidget(units_);
  controls->addWidget(new QLabel(QStringLiteral("From"), row));
  controls->addWidget(from_);
  controls->addWidget(new QLabel(QStringLiteral("To"), row));
  controls->addWidget(to_);
  controls->addWidget(apply);
  controls->addWidget(reset);
  controls->addWidget(object_);
  controls->addWidget(lamp_);
  controls->addWidget(scale_);
  controls->addStretch();
  layout->addWidget(row);
  layout->addWidget(BuildMeasureRow());
  canvas_ = new ViewCanvas(this, [this](const ViewInput& in) { Send(in); });
  layout->addWidget(canvas_, 1);
  SetControls(ViewControls{});

  const auto applyRange = [this] {
    ViewInput in = Input(ViewInput::Kind::Range);
    in.fromText = from_->text().toStdString();
    in.toText = to_->text().toStdString();
    Send(in);
  };
  connect(apply, &QPushButton::clicked, this, applyRange);
  connect(from_, &QLineEdit::returnPressed, this, applyRange);
  connect(to_, &QLineEdit::returnPressed, this, applyRange);
  connect(reset, &QPushButton::clicked, this, [this] { Send(Input(ViewInput::Kind::Reset)); });
  connect(units_, &QComboBox::currentIndexChanged, this, [this](int index) {
    ViewInput in = Input(ViewInput::Kind::Units);
    in.units = static_cast<ViewUnits>(index);
    Send(in);
  });
  for (QCheckBox* box : {object_, lamp_, scale_})
    connect(box, &QCheckBox::clicked, this, [this] { SendShow(); });
}

void SpectrumViewWindow::SendShow() {
  ViewInput in = Input(ViewInput::Kind::Show);
  in.showObject = object_->isChecked();
  in.showLamp = lamp_->isChecked();
  in.scaleOverlays = scale_->isChecked();
  Send(in);
}

// Check boxes report clicks only, and the combo box is silenced: nothing set here is an input.
void SpectrumViewWindow::SetControls(const ViewControls& c) {
  const QSignalBlocker quiet(units_);
  units_->setCurrentIndex(static_cast<int>(c.units));
  from_->setText(QString::fromStdString(c.fromText));
  to_->setText(QString::fromStdString(c.toText));
  object_->setChecked(c.showObject);
  lamp_->setChecked(c.showLamp);
  scale_->setChecked(c.scaleOverlays);
  SetMeasureControls(c.measure);
}

ViewControls SpectrumViewWindow::Controls() const {
  return ViewControls{static_cast<ViewUnits>(units_->currentIndex()),
                      from_->text().toStdString(),
                      to_->text().toStdString(),
                      object_->isChecked(),
                      lamp_->isChecked(),
                      scale_->isChecked(),
                      MeasureControlsShown()};
}

}  // namespace lxr4
