// The non-modal views beside the main window and the documents the program
// shows: the program hands each its whole contents; the user's edits come
// back through EventSink.
#pragma once

#include <string>

#include "base/line_table.h"
#include "base/measurement_table.h"
#include "base/plot_picture.h"
#include "base/view_input.h"

namespace lxr4 {

class WindowViews {
 public:
  // The Lines and Residuals dialog: its new contents (whether it is shown or
  // not), and showing it, non-modal: the program goes on while it is open.
  virtual void SetLineTable(const LineTable& table) = 0;
  virtual void ShowLineTable() = 0;

  // The Spectrum view: its new picture and controls (whether it is shown or
  // not), showing it, non-modal, and the size its picture has now (the start
  // size until the user or a script resizes it).
  virtual void SetSpectrumView(const PlotPicture& picture) = 0;
  virtual void SetSpectrumViewControls(const ViewControls& controls) = 0;
  virtual void ShowSpectrumView() = 0;
  struct ViewSize {
    int width = kViewStartWidth, height = kViewStartHeight;
  };
  [[nodiscard]] virtual ViewSize SpectrumViewSize() const = 0;

  // The Measurements table: its new contents (whether shown or not), and
  // showing it, non-modal.
  virtual void SetMeasurementTable(const MeasurementTable& table) = 0;
  virtual void ShowMeasurementTable() = 0;

  // Where the user guide lies (platform/documents.h); empty when it was not found.
  [[nodiscard]] virtual std::string UserGuidePath() const = 0;
  // Shows a document with the desktop's viewer; false when that cannot be done.
  [[nodiscard]] virtual bool OpenDocument(const std::string& path) = 0;

 protected:
  ~WindowViews() = default;
};

}  // namespace lxr4
