// The Spectrum view in the real window: a non-modal, resizable window with
// two rows of controls (the range shown, then the measuring row) and a canvas
// that shows the program's picture pixel for pixel. It only translates: the
// user's clicks, drags, wheel turns, keys and the canvas's new sizes become
// view inputs; the program's pictures and controls are shown as given. Its widgets carry object names, so that the
// window driver works them as a user would.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "base/plot_picture.h"
#include "base/view_input.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRubberBand;

namespace lxr4 {

// Object names of the view's widgets.
inline constexpr const char* kSpectrumViewName = "spectrumView";
inline constexpr const char* kViewUnitsName = "viewUnits";
inline constexpr const char* kViewFromName = "viewFrom";
inline constexpr const char* kViewToName = "viewTo";
inline constexpr const char* kViewApplyName = "viewApply";
inline constexpr const char* kViewResetName = "viewReset";
inline constexpr const char* kViewObjectName = "viewObject";
inline constexpr const char* kViewLampName = "viewLamp";
inline constexpr const char* kViewScaleName = "viewScale";
inline constexpr const char* kViewCanvasName = "viewCanvas";
// The measuring row (view_measure_row.cpp).
inline constexpr const char* kViewDragName = "viewDrag";
inline constexpr const char* kViewProfileName = "viewProfile";
inline constexpr const char* kViewRestName = "viewRest";
inline constexpr const char* kViewShiftName = "viewShift";
inline constexpr const char* kViewToRestName = "viewToRest";
inline constexpr const char* kViewNormaliseName = "viewNormalise";
inline constexpr const char* kViewClearContinuumName = "viewClearContinuum";
inline constexpr const char* kViewMediumName = "viewMedium";

// The picture, painted 1:1 from the top left; the user's mouse and keys on it.
class ViewCanvas final : public QWidget {
 public:
  ViewCanvas(QWidget* parent, std::function<void(const ViewInput&)> input);
  void SetPicture(const PlotPicture& picture);
  [[nodiscard]] QSize sizeHint() const override { return {kViewStartWidth, kViewStartHeight}; }
  // The size the program was last told of (the start size at first).
  [[nodiscard]] QSize Reported() const { return reported_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void(const ViewInput&)> input_;
  QImage image_;       // the latest picture, painted
  QColor background_;  // around a picture smaller than the canvas
  PlotArea area_;
  QSize reported_{kViewStartWidth, kViewStartHeight};  // the size the program knows
  QPoint pressed_;
  bool pressing_ = false;
  int wheelEighths_ = 0;  // a turn short of a notch, kept for the next
  QRubberBand* band_ = nullptr;
};

class SpectrumViewWindow final : public QWidget {
 public:
  // A window of its own owned by `parent`; `input` receives the user's inputs.
  SpectrumViewWindow(QWidget* parent, std::function<void(const ViewInput&)> input);
  // Shows `controls` in the widgets without handing any input on.
  void SetControls(const ViewControls& controls);
  // The controls as they stand.
  [[nodiscard]] ViewControls Controls() const;
  void SetPicture(const PlotPicture& picture) { canvas_->SetPicture(picture); }
  [[nodiscard]] ViewCanvas* Canvas() const { return canvas_; }

 private:
  void Send(ViewInput input) { input_(input); }
  void SendShow();
  // The measuring row (view_measure_row.cpp): built under the first row, set
  // without handing anything on, and read back.
  [[nodiscard]] QWidget* BuildMeasureRow();
  void SetMeasureControls(const MeasureControls& m);
  [[nodiscard]] MeasureControls MeasureControlsShown() const;

  std::function<void(const ViewInput&)> input_;
  QComboBox* units_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QCheckBox* object_ = nullptr;
  QCheckBox* lamp_ = nullptr;
  QCheckBox* scale_ = nullptr;
  QComboBox* drag_ = nullptr;
  QComboBox* profile_ = nullptr;
  QComboBox* rest_ = nullptr;  // editable: an entry of the rest list or any text
  QLineEdit* shift_ = nullptr;
  QCheckBox* normalise_ = nullptr;
  QComboBox* medium_ = nullptr;
  ViewCanvas* canvas_ = nullptr;
};

}  // namespace lxr4
