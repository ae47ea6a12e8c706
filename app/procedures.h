// The program's handlers: those of app/ here, each folder's in its handlers.h.
#pragma once

#include "app/app.h"
#include "calibration/handlers.h"
#include "display/handlers.h"
#include "imagefile/handlers.h"
#include "output/handlers.h"
#include "spectrum/handlers.h"

namespace lxr4 {

// app/: start-up and shut-down
void Spectra_Load(Program& app);
void Spectra_Unload(Program& app);
void cmdexit_Click(Program& app);

// app/: image loading
void cmdload_Click(Program& app);
// File > Open Spectrum...: a 1-D spectrum file shown over the others in the Spectrum view.
void openSpectrum_Click(Program& app);
// View > Spectrum, the view's inputs, and its new picture after anything changed.
void viewSpectrum_Click(Program& app);
void SpectrumView_Input(Program& app, const ViewInput& input);
void RedrawSpectrumView(Program& app);
void cmdload2_Click(Program& app);
// File > Open Recent: the chosen file into the slot it was loaded into, without a dialog.
void openRecent_Click(Program& app);

// The Measure menu and the Measurements table (measure_view.cpp).
void measurements_Click(Program& app);
void observation_Click(Program& app);
void exportMeasurements_Click(Program& app);

// The Reduction menu and File > Open Stack (reduction_handlers.cpp).
void openStack_Click(Program& app);
void masters_Click(Program& app);
void extraction_Click(Program& app);
void instrumentResponse_Click(Program& app);
void MeasurementTable_Edit(Program& app, const MeasurementTableEdit& edit);
// The view's measuring row: a box dragged in Measure or Continuum mode and the
// row's inputs; any other input does nothing there.
void MeasureView_Input(Program& app, const ViewInput& input);

// app/: Help menu
void userGuide_Click(Program& app);
void about_Click(Program& app);

}  // namespace lxr4
