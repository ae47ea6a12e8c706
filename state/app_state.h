// AppState: every value that outlives one handler, with its start value.
// A flag is a 16-bit integer holding 0 (false) or -1 (true); a Num field keeps
// the type it currently holds (see base/num.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/calibration_values.h"
#include "base/grid.h"
#include "base/lamp_frame.h"
#include "base/num.h"
#include "base/reduction_fields.h"
#include "base/view_input.h"
#include "reduce/frame.h"
#include "state/window_dialogs.h"
#include "state/detector_map.h"

namespace lxr4 {

inline constexpr std::size_t kHeaderBytes = 2048;

// The trace, aperture and sky bands of a frame's extraction on the image, in
// image rows (1 the top row's centre) at the centre of each image column.
struct ApertureDrawing {
  std::vector<double> centre;  // per image column 1..Width
  double halfWidth = 0;        // image rows
  double skyInner = 0, skyOuter = 0;  // from the centre, image rows; both 0 without sky
};

// One image slot (object or calibration) with its crop rows.
struct CameraImage {
  PixelGrid Pixels;
  Num Height;       // 16-bit integer once read
  std::int16_t Width = 0;
  Num Background;   // 16-bit integer once read
  Num Range;        // 32-bit integer once read
  Num OriginX;      // double once set
  std::int16_t OriginY = 0;
  std::string FileName;
  std::string Caption;
  Flag Loaded = kFalse;
  std::int16_t CropTop = 1;
  std::int16_t CropBottom = 20;
  std::array<std::uint8_t, kHeaderBytes> HeaderBlock{};
  // A FITS frame at the detector's own pixels: its swath's rows (Detector.length
  // values each, in the frame's units, row by row; empty for a camera image),
  // and the spectrum extracted from them (a camera image: its spectrum's columns).
  DetectorMap Detector;
  std::vector<float> Swath;
  std::vector<double> Native;  // detector pixels 1..N: Native[0] is pixel 1
  // A frame reduced on its load (masters, cosmic rays, a stack, a trace):
  // what was done, one step a line, the frames stacked, and with a trace
  // extraction its spectrum at the detector's pixels (taken as Native) and
  // the aperture drawn on the image.
  std::vector<std::string> Reduction;
  int Stacked = 0;
  std::vector<double> Reduced;
  ApertureDrawing Aperture;
};

enum class Slot : std::uint8_t { Object, Cal };

// A 1-D spectrum opened from a file (File > Open Spectrum...), drawn in the
// Spectrum view over the frames' spectra on its own wavelengths.
struct OverlaySpectrum {
  std::string name;                // the file's name, for the legend
  std::vector<double> wavelength;  // Angstroms, rising or falling
  std::vector<double> flux;
  std::string fluxUnit;  // as the file says; may be empty
};

// What the Spectrum view shows: the x range in its units (none: the whole
// spectrum), its units once calibrated (pixels before), what it draws, and
// the size of its picture.
struct SpectrumViewState {
  bool opened = false;  // opened once: redrawn whenever what it shows changes
  ViewUnits units = ViewUnits::Angstrom;
  std::optional<double> from, to;
  bool showObject = true, showLamp = true, scaleOverlays = true;
  int width = kViewStartWidth, height = kViewStartHeight;

  // The measuring row. Wavelengths of the continuum ranges are the spectrum's
  // own (the calibration's medium, not shifted), so a change of units, medium
  // or shift leaves them on the same stretch of spectrum.
  DragMode drag = DragMode::Zoom;
  MeasureProfile profile = MeasureProfile::Gaussian;
  std::string restText;        // as typed or chosen
  std::optional<double> rest;  // Angstrom, in the medium shown, once read
  std::string shiftText;       // as typed
  double shiftKms = 0;         // the spectrum shown (and exported) in the rest frame of this velocity
  bool normalise = false;      // the object divided by its continuum
  std::optional<bool> vacuum;  // wavelengths in vacuum or air; none: as the calibration has them
  std::vector<std::pair<double, double>> continuum;  // marked continuum ranges, Angstrom
};

// A line measured in the Spectrum view: each figure with its one-sigma
// uncertainty, wavelengths in Angstrom in the medium it was measured in.
struct Measured {
  double value = 0, error = 0;
};
struct MeasuredLine {
  Measured centre, centroid, fwhm, peak, flux, snr;
  std::optional<Measured> equivalentWidth;
  MeasureProfile profile = MeasureProfile::Gaussian;
  bool vacuum = false;       // the medium of the wavelengths above
  std::optional<double> restAngstrom;  // the rest wavelength, in the same medium
  std::optional<Measured> velocity;   // km/s, as the observer saw it (whatever shift the view shows)
  std::optional<double> barycentric;  // km/s: the correction to the solar system's barycentre
  // Where it is drawn, in native wavelengths (the spectrum's own, so the view's
  // units, medium and shift move them with the spectrum): the centre, the
  // region, and the fitted profile on its continuum (drawn while the view's
  // normalisation is as it was).
  double centreNative = 0;
  std::pair<double, double> regionNative;
  std::vector<double> fitNative, fitY;
  bool normalised = false;
};

struct AppState {
  CameraImage Object;  // ObjectPixels, ObjectWidth, ..., DataCropTop, DataCropBottom
  CameraImage Cal;     // CalPixels, CalWidth, ..., CalCropTop, CalCropBottom

  Num PixelWidth;   // single, micrometres
  Num PixelHeight;  // single, micrometres
  std::string SelectedFileName;
  // Every image file loaded into either slot so far; an export never writes over one.
  std::vector<std::string> LoadedFiles;

  Spectrum CurrentSpectrum, ObjectSpectrum, CalSpectrum;
  std::int16_t SpectrumLength = 0;
  std::int32_t SpectrumMax = 0, SpectrumMin = 0;
  Flag CalGraphShown = kFalse;

  // The graph style: exactly one of the four is true once the window has started.
  bool LinearGraph = false, LogGraph = false, AutoscaledGraph = false, PushedGraph = false;

  Num CursorPixel;  // 16-bit integer
  int CursorDetectorPixel = 0;  // the detector pixel under the cursor (0 before a frame)
  std::int16_t CursorTickPixel = 0;
  Num CentroidWidth;           // 16-bit integer
  Num LastCentroidWidth;       // 16-bit integer
  Num SelectedLineWavelength;  // double (single when typed)
  Num Line1Wavelength, Line2Wavelength;  // double
  Num Line1Pixel, Line2Pixel;            // single
  float LineCentroid = 0;

  Num FocalLength;  // 16-bit integer 50 at start, double once solved
  Num AlphaAngle;   // single during a scan, double after it
  Num BetaAngle;    // double
  Num GrooveSpacing;
  Num GammaAngle;
  float DegreesPerRadian = 0;
  Flag WavelengthDescending = kFalse;
  bool FocalLengthFitted = false;
  bool CalibrationDone = false;

  Num ReadoutPixel;       // single (a centroid) or 16-bit integer (the cursor)
  Num ReadoutWavelength;  // single

  // Calibration over many lines. With none of these touched the program
  // calibrates, reads out and exports exactly as above.
  InstrumentSettings Instrument;
  LineSet Lines;                                // the Lines and Residuals table
  LineSet LinesOfLastFile;  // the table as the last calibration file saved or opened left it
  std::optional<FitResult> LastFit;             // made over Lines as they stood
  std::optional<FittedCalibration> FitInForce;  // when set, every wavelength comes from it
  bool FitFromMarks = false;  // FitInForce is the marked lines' solve (instrument settings not the defaults)
  std::vector<ListLine> ListedLines;   // cboscale entries after "Manual Entry"
  std::vector<ListLine> IdentifyList;  // the list loaded last; empty: the built-in list

  // The automatic calibration. With no lamp chosen Identify Lines takes
  // IdentifyList as above.
  LampChoice Lamp;                          // Calibration > Lamp...
  std::vector<NamedLineList> LoadedLists;   // every line list file loaded, each name once
  std::optional<LampFrame> CalibrationFrame;  // the lamp frame the calibration in force was made on
  double CalibrationShift = 0;  // pixels: the last re-identification's shift of the lamp
  AutoStartFields AutoStart;    // the automatic calibration's start as last accepted

  // The night's reduction: the dialogs as last accepted, the masters in
  // force and the instrument response (counts per unit of reference flux,
  // median 1) on its wavelengths in Angstrom; empty when none.
  struct NightReduction {
    MastersFields masters;
    ExtractionFields extraction;
    ResponseFields response;
    std::optional<Frame> bias, darkRate, flat;
    std::vector<double> responseWavelength, responseCurve;
  } Night;

  std::vector<OverlaySpectrum> Overlays;
  SpectrumViewState View;
  std::vector<MeasuredLine> Measurements;  // the Measurements table
  ObservationFields Observation;           // as last typed in the Observation dialog

  [[nodiscard]] CameraImage& Image(Slot s) { return s == Slot::Object ? Object : Cal; }
  [[nodiscard]] const CameraImage& Image(Slot s) const { return s == Slot::Object ? Object : Cal; }
};

}  // namespace lxr4
