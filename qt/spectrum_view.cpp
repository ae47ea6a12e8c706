// The window's side of the Spectrum view: made on first use, first shown
// beside the main window with its canvas at the start size, and its inputs
// handed to the program until the program ends.
#include <QScreen>

#include "qt/placement.h"
#include "qt/qt_window.h"
#include "qt/spectrum_view_window.h"
#include "qt/widgets.h"

namespace lxr4 {

SpectrumViewWindow* QtWindow::SpectrumView() {
  if (view_ == nullptr)
    view_ = new SpectrumViewWindow(main_.get(), [this](const ViewInput& input) {
      if (sink_ && !ended_) sink_->OnSpectrumView(input);
    });
  return view_;
}

void QtWindow::SetSpectrumView(const PlotPicture& picture) { SpectrumView()->SetPicture(picture); }

void QtWindow::SetSpectrumViewControls(const ViewControls& controls) {
  SpectrumView()->SetControls(controls);
}

WindowViews::ViewSize QtWindow::SpectrumViewSize() const {
  if (view_ == nullptr) return {};
  const QSize size = view_->Canvas()->Reported();
  return {size.width(), size.height()};
}

// The first time beside the main window, at the size that gives the canvas
// the program's start size (which the placement keeps; adjustSize would cut
// it to the screen); after that where and as the user left it.
void QtWindow::ShowSpectrumView() {
  if (ended_) return;
  SpectrumViewWindow* view = SpectrumView();
  if (!viewPlaced_) {
    viewPlaced_ = true;
    // The canvas's size hint is the start size, and the controls ask for no width.
    view->resize(view->sizeHint());
    const QRect mainFrame = main_->frameGeometry();
    const QSize wanted = view->size() + (mainFrame.size() - main_->geometry().size());
    view->move(PlaceBeside(mainFrame, wanted, wanted, main_->screen()->availableGeometry()).topLeft());
  }
  view->show();
  view->raise();
}

}  // namespace lxr4
