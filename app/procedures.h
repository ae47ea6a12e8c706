// The program's handlers and the procedures they share. Each takes the App
// (state and window) and works on it; the folder that implements each is named
// beside it.
#pragma once

#include "app/app.h"

namespace lxr4 {

struct LinePair;

// app/: start-up and shut-down
void Spectra_Load(App& app);
void Spectra_Unload(App& app);
void cmdexit_Click(App& app);

// app/: image loading
void cmdload_Click(App& app);
void cmdload2_Click(App& app);
// File > Open Recent: the chosen file into the slot it was loaded into, without a dialog.
void openRecent_Click(App& app);
// File > FITS Import...: the settings of FITS frame imports (app/fits_settings.h).
void fitsImport_Click(App& app);

// app/: Help menu
void userGuide_Click(App& app);
void about_Click(App& app);

// imagefile/: strip image
void cmdstrip_Click(App& app);

// display/: image rendering and contrast
void DrawObjectImage(App& app);
void DrawCalImage(App& app);
void cmdcontrast_Click(App& app);
void cmdcontrast2_Click(App& app);
void cmddone_Click(App& app);
void chkexpand_Click(App& app);

// display/: crop boxes
void DrawCropLines(App& app, Slot slot);
void hsbcropdata1_Scroll(App& app);
void hsbcropdata1_Change(App& app);
void hsbcropdata2_Scroll(App& app);
void hsbcropdata2_Change(App& app);
void hsbcropcal1_Scroll(App& app);
void hsbcropcal1_Change(App& app);
void hsbcropcal2_Scroll(App& app);
void hsbcropcal2_Change(App& app);

// spectrum/: extraction and its options
void ExtractObjectSpectrum(App& app);
void ExtractCalSpectrum(App& app);
void chkfilter_Click(App& app);
void chkmedian_Click(App& app);
void smoothing_Click(App& app);

// calibration/: line marking
void cboscale_Click(App& app);
void cbobox_Click(App& app);
// Writes the centroid of the line at the cursor to LineCentroid. When the
// window has no centroid (its weights sum to zero) or does not fit in the
// spectrum, tells the user so and returns false; LineCentroid is then unchanged.
[[nodiscard]] bool FindLineCentroid(App& app);
void cmdmarkline1_Click(App& app);
void cmdmarkline2_Click(App& app);

// calibration/: grating model (wavelengths in Angstroms, single precision)
float ModelWavelength(App& app, double pixel, int sign);
float CorrectWavelength(float lambda);
float CalibratedWavelength(App& app, double pixel);
float ColumnModelWavelength(App& app, std::int16_t column);
// Fits the calibration to `lines` (calibration/grating_solver.h): the two-line
// solve while FocalLengthFitted is false, else the re-fit of the alpha angle to
// line 1. False when they cannot be fitted; the calibration is then unchanged.
[[nodiscard]] bool SolveCalibration(App& app, const LinePair& lines);

// calibration/: cursor and read-out
void hsbspectra_Scroll(App& app);
void hsbspectra_Change(App& app);
void cmdemission_Click(App& app);
void ShowWavelengthAtPixel(App& app);

// output/: graph
void DrawSpectrumGraph(App& app);
void cmdcalcspectra_Click(App& app);
void Cmdcalccal_Click(App& app);
void Lingraph_Click(App& app);
void loggraph_Click(App& app);
void autograph_Click(App& app);
void pushgraph_Click(App& app);

// output/: printing and text export
void cmdprint_Click(App& app);
void cmdtext_Click(App& app);
// File > Print to PDF...: the printed page into a PDF file chosen in a save dialog.
void printPdf_Click(App& app);
// File > Export Spectrum...: the graphed spectrum as a FITS or CSV file.
void exportSpectrum_Click(App& app);

}  // namespace lxr4
