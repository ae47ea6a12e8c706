// File > Export Spectrum...: the graphed spectrum saved through a save dialog
// as a FITS spectrum with a linear wavelength axis, a FITS table or CSV
// (imagefile/spectrum_files.h writes them), through the window's file seam.
// The wavelengths and values are the ones the Spectrum view shows: in its
// units, medium and rest frame, and the object divided by its continuum when
// it shows it so; the files say which.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/handlers.h"
#include "calibration/line_handlers.h"
#include "imagefile/fits_settings.h"
#include "imagefile/spectrum_files.h"
#include "measure/shown_wavelength.h"
#include "measure/velocity.h"
#include "output/handlers.h"
#include "output/relative_flux.h"
#include "state/saving.h"

namespace lxr4 {

namespace {

// The dialog's types, in the order of ExportType.
constexpr std::string_view kExportFilter =
    "FITS spectrum, linear wavelength axis (*.fits)|*.fits|FITS table (*.fits)|*.fits|CSV (*.csv)|*.csv";
enum ExportType : int { kFitsLinear = 1, kFitsTable = 2, kCsv = 3 };
constexpr std::string_view kTypeNames[] = {"FITS spectrum", "FITS table", "CSV file"};

// The value of a camera image header line "KEY = VALUE", "" when it has none.
std::string HeaderLine(const CameraImage& image, std::string_view key) {
  const std::string_view text(reinterpret_cast<const char*>(image.HeaderBlock.data()), image.HeaderBlock.size());
  for (std::size_t start = 0; start < text.size();) {
    if (text[start] == '\r' || text[start] == '\n') {
      ++start;
      continue;
    }
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (line.starts_with("End") || line.find('\0') != std::string_view::npos) break;
    if (line.starts_with(key) && line.substr(key.size()).starts_with(" = "))
      return std::string(line.substr(key.size() + 3));
    start = end + 1;
  }
  return {};
}

// DATE-OBS from a camera image's own "Date = MM/DD/YY" and "Time = hh:mm:ss"
// lines (years 70-99 taken as 19xx); "" when it has no date.
std::string CameraDateObs(const CameraImage& image) {
  int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(HeaderLine(image, "Date").c_str(), "%2d/%2d/%2d", &month, &day, &year) != 3 || month < 1 ||
      month > 12 || day < 1 || day > 31 || year < 0)
    return {};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year < 70 ? 2000 + year : 1900 + year, month, day);
  std::string date = text;
  if (std::sscanf(HeaderLine(image, "Time").c_str(), "%2d:%2d:%2d", &hour, &minute, &second) == 3 && hour >= 0 &&
      hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 61) {
    std::snprintf(text, sizeof text, "T%02d:%02d:%02d", hour, minute, second);
    date += text;
  }
  return date;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "; ") + line;
  return text;
}

}  // namespace

void exportSpectrum_Click(Program& app) {
  AppState& s = app.s;
  Window& w = app.w;
  const int columns = std::clamp<int>(s.SpectrumLength, 0, kGridColumns);
  if (columns == 0) {
    w.MessageBox("There is no spectrum to export yet: load an image first.");
    return;
  }
  const std::optional<SaveAnswer> answer = w.SaveFileDialog(kExportFilter);
  if (!answer) return;
  if (answer->type == kFitsLinear && !s.CalibrationDone) {
    w.MessageBox(
        "A FITS spectrum with a linear wavelength axis needs a calibration: mark two lines "
        "of the lamp first, or save the spectrum as a FITS table or CSV.");
    return;
  }

  // The graphed spectrum and the image it was taken from.
  const bool calGraphed = s.CalGraphShown != kFalse;
  // The view divides the object by its continuum, never the lamp.
  const bool normalise = s.View.normalise && !calGraphed;
  if (normalise && !s.CalibrationDone) {
    w.MessageBox(
        "The Spectrum view shows the spectrum divided by its continuum, which needs a calibration: mark "
        "two lines of the lamp first, or untick Normalise there to export the spectrum as it is.");
    return;
  }
  const CameraImage& source = calGraphed ? s.Cal : s.Object;
  const ImportNotes notes = ReadImportNotes(source.HeaderBlock);
  // An imported frame's values in its own units: the rows the value adds up
  // (see FrameValue), with the import's scale.
  const bool frameUnits = notes.scale && CurrentFitsSettings(w).frameUnits;
  const int cropRows = source.CropBottom - source.CropTop + 1;
  const bool skyFiltered = !calGraphed && w.Ticked(Control::chkfilter) && cropRows < kGridRows;
  const double rowsSummed = calGraphed ? cropRows : skyFiltered ? 0 : kGridRows;

  // A FITS frame in its own units goes out at the detector's own pixels; in
  // the image's units, as the image's columns.
  const bool detector = source.Detector.frame && frameUnits;
  const int rows = detector ? static_cast<int>(source.Native.size()) : columns;
  SpectrumExport spectrum;
  std::vector<double> wavelengths;
  for (int i = 1; i <= rows; ++i) {
    const double value = detector ? source.Native[static_cast<std::size_t>(i - 1)] : s.CurrentSpectrum[i];
    spectrum.values.push_back(detector || !frameUnits ? value : FrameValue(*notes.scale, value, rowsSummed));
    if (s.CalibrationDone) {
      // The wavelength of the read-out, printed page and text file of this column.
      const WavelengthAt at = CalibratedWavelength(s, i);
      KeepEvaluation(s, at);
      s.ReadoutWavelength = Num(at.wavelength);
      wavelengths.push_back(at.wavelength);
    }
  }
  if (normalise) {
    // On the native wavelengths, where the marked ranges are.
    const auto divided =
        NormaliseContinuum(wavelengths, spectrum.values, NormalisationOptions(MarkedContinuum(s)));
    if (!divided.ok()) {
      w.MessageBox("The spectrum could not be divided by its continuum: " + divided.message + " Nothing was saved.");
      return;
    }
    spectrum.values = divided.normalised;
  }
  // The object in relative flux, as the Spectrum view shows it, when a
  // response is in force: the pixels beyond its range are left out.
  bool relativeFlux = false;
  if (!normalise && !calGraphed && detector && s.CalibrationDone)
    if (std::optional<RelativeFlux> relative = ObjectRelativeFlux(s, wavelengths, spectrum.values)) {
      const auto first = static_cast<std::ptrdiff_t>(relative->first);
      wavelengths = std::vector<double>(wavelengths.begin() + first,
                                        wavelengths.begin() + first + static_cast<std::ptrdiff_t>(relative->values.size()));
      spectrum.values = std::move(relative->values);
      spectrum.firstPixel = static_cast<int>(relative->first) + 1;
      relativeFlux = true;
    }
  // ShownWavelength leaves a velocity at or beyond light's unshifted; so does the file.
  WavelengthFrame frame = ViewFrame(s);
  if (!std::isfinite(frame.shiftKms) || std::abs(frame.shiftKms) >= kSpeedOfLightKms) frame.shiftKms = 0;
  if (s.CalibrationDone)
    spectrum.wavelength = [&wavelengths, frame](int column) {
      return ShownWavelength(wavelengths[static_cast<std::size_t>(column - 1)], frame);
    };

  SpectrumFacts& facts = spectrum.facts;
  facts.object = notes.object;
  facts.dateObs = !notes.dateObs.empty() ? notes.dateObs : CameraDateObs(source);
  facts.exposure = notes.exposure;
  facts.combined = source.Stacked;
  // The spectrum's image, then the lamp's that calibrated it.
  const auto described = [](const CameraImage& image) {
    const std::string taken = ReadImportNotes(image.HeaderBlock).source;
    return image.FileName + (taken.empty() ? "" : " (" + taken + ")");
  };
  facts.sourceFiles.push_back(described(source));
  if (!calGraphed && s.CalibrationDone && s.Cal.Loaded != kFalse) facts.sourceFiles.push_back(described(s.Cal));
  facts.calibration = Joined(CalibrationDescription(s));
  facts.program = "Tavrin LXR-4 Spectral Calibration Program " LXR4_VERSION;
  if (s.CalibrationDone) {
    facts.nanometres = frame.nanometres;
    facts.vacuum = frame.vacuum;
    facts.shiftKms = frame.shiftKms;
  }
  facts.normalised = normalise;
  facts.relativeFlux = relativeFlux;

  const SpectrumFile file = answer->type == kFitsLinear  ? WriteLinearFitsSpectrum(spectrum)
                            : answer->type == kFitsTable ? WriteFitsTableSpectrum(spectrum)
                                                         : WriteCsvSpectrum(spectrum);
  if (file.error == SpectrumFileError::NotMonotonic) {
    w.MessageBox("The wavelengths of this calibration do not rise or fall steadily across the spectrum, so "
                 "they cannot be one linear axis; save the spectrum as a FITS table or CSV.");
    return;
  }
  if (file.error != SpectrumFileError::None) {
    w.MessageBox("The spectrum could not be made into a file; nothing was saved.");
    return;
  }
  if (const FileError error = SaveFile(app, answer->path, file.bytes); error == FileError::None)
    w.SetCaption(Control::Lblwavelength,
                 answer->path + " saved as " + std::string(kTypeNames[std::clamp(answer->type, 1, 3) - 1]));
  else
    w.MessageBox(SaveRefusal(error, answer->path));
}

}  // namespace lxr4
