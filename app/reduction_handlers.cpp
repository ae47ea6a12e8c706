// The Reduction menu: the masters, how an object's spectrum is extracted from
// a frame, and the instrument response. Each dialog is checked whole before
// anything changes; a refusal says why and opens the dialog again as typed.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/night_load.h"
#include "app/procedures.h"
#include "base/number_text.h"
#include "imagefile/fits_import.h"
#include "imagefile/fits_settings.h"
#include "imagefile/spectrum_reader.h"
#include "app/view_contents.h"
#include "measure/response.h"
#include "night/night_masters.h"
#include "state/saving.h"

namespace lxr4 {

namespace {

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::vector<std::string> FrameList(const std::string& text) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(';', start), text.size());
    if (std::string path = Trimmed(std::string_view(text).substr(start, end - start)); !path.empty())
      paths.push_back(std::move(path));
    start = end + 1;
  }
  return paths;
}

// A FITS frame of `path` read and decoded; the message of a refusal otherwise.
std::optional<FitsFrame> ReadFrameFile(Program& app, const std::string& path, std::string& problem) {
  FileRead read = app.w.Files().ReadFile(path, kMaxFrameFileBytes);
  if (!read.ok()) {
    problem = ReadProblem(read, path, kMaxFrameFileBytes);
    return std::nullopt;
  }
  FitsReadResult frame = ReadFitsFrame(read.bytes, FitsDecoderBesideProgram());
  if (frame.ok()) return std::move(frame.frame);
  problem = frame.error == FitsError::Unavailable ? std::string(kFitsUnavailable)
                                                  : path + " is not a FITS frame that can be read.";
  return std::nullopt;
}

struct KindInfo {
  MasterKind kind;
  const char* name;  // in messages
  std::string MastersFields::*frames;
  std::string MastersFields::*master;
  std::optional<Frame> AppState::NightReduction::*inForce;
};

constexpr std::array<KindInfo, 3> kKinds{{
    {MasterKind::Bias, "bias", &MastersFields::biasFrames, &MastersFields::biasMaster, &AppState::NightReduction::bias},
    {MasterKind::Dark, "dark", &MastersFields::darkFrames, &MastersFields::darkMaster,
     &AppState::NightReduction::darkRate},
    {MasterKind::Flat, "flat", &MastersFields::flatFrames, &MastersFields::flatMaster, &AppState::NightReduction::flat},
}};

// The dispersion of the frames loaded, else as the FITS import is told, else as `frame` shows.
DispersionAlong FlatAxis(const AppState& s, const Window& w, const FitsFrame& frame) {
  for (const CameraImage* image : {&s.Object, &s.Cal})
    if (image->Loaded != kFalse && image->Detector.frame)
      return image->Detector.alongColumns ? DispersionAlong::Columns : DispersionAlong::Rows;
  const DispersionAxis axis = CurrentFitsSettings(w).import.axis;
  const bool columns = (axis == DispersionAxis::Auto ? FindDispersionAxis(frame) : axis) == DispersionAxis::Columns;
  return columns ? DispersionAlong::Columns : DispersionAlong::Rows;
}

// The masters the fields ask for, made (and saved) or read, into `made`; the
// text of what was done, or nullopt with `problem` set.
std::optional<std::string> MakeMasters(Program& app, const MastersFields& f, AppState::NightReduction& made,
                                       std::string& problem) {
  const std::optional<double> sigma = ParseDecimal(f.sigma);
  if (!sigma || !(*sigma > 0 && *sigma <= 100)) {
    problem = "The clip's sigma must be a number above 0 and at most 100, not \"" + f.sigma + "\".";
    return std::nullopt;
  }
  std::string summary;
  for (const KindInfo& k : kKinds) {
    const std::vector<std::string> frames = FrameList(f.*(k.frames));
    const std::string master = Trimmed(f.*(k.master));
    std::optional<Frame>& target = made.*(k.inForce);
    target.reset();
    std::string done = std::string(k.name) + ": none";
    if (!frames.empty()) {
      if (master.empty()) {
        problem = "Name a master file for the " + std::string(k.name) + " frames: the master made is saved there.";
        return std::nullopt;
      }
      std::vector<NamedFits> named;
      for (const std::string& path : frames) {
        std::optional<FitsFrame> frame = ReadFrameFile(app, path, problem);
        if (!frame) return std::nullopt;
        named.push_back({path, *std::move(frame)});
      }
      MasterRequest request{k.kind, f.combine, *sigma, FlatAxis(app.s, app.w, named.front().frame),
                            made.bias ? &*made.bias : nullptr, made.darkRate ? &*made.darkRate : nullptr};
      MasterResult built = BuildMaster(named, request);
      if (!built.ok()) {
        problem = built.message;
        return std::nullopt;
      }
      // The frames a master is made from are never replaced by a save of this run.
      for (const std::string& path : frames)
        if (std::find(app.s.LoadedFiles.begin(), app.s.LoadedFiles.end(), path) == app.s.LoadedFiles.end())
          app.s.LoadedFiles.push_back(path);
      const std::vector<std::uint8_t> bytes = MasterFileBytes(built.frame, k.kind, static_cast<int>(frames.size()));
      if (const FileError error = SaveFile(app, master, bytes); error != FileError::None) {
        problem = SaveRefusal(error, master, "master " + std::string(k.name) + " file");
        return std::nullopt;
      }
      target = std::move(built.frame);
      done = std::string(k.name) + " from " + std::to_string(frames.size()) + " frames, saved as " + master;
    } else if (!master.empty()) {
      std::optional<FitsFrame> frame = ReadFrameFile(app, master, problem);
      if (!frame) return std::nullopt;
      auto read = MasterFromFits(*std::move(frame), master, k.kind);
      if (!read.ok()) {
        problem = read.message;
        return std::nullopt;
      }
      target = std::move(read.frame);
      done = std::string(k.name) + " read from " + master;
    }
    summary += (summary.empty() ? "" : "; ") + done;
  }
  return summary;
}

// The extraction's fields checked: the problem's text, or nullopt when they are good.
std::optional<std::string> ExtractionProblem(const ExtractionFields& f) {
  if (const std::string a = Trimmed(f.aperture); !a.empty()) {
    const std::optional<double> v = ParseDecimal(a);
    if (!v || !(*v >= 0.5 && *v <= 500))
      return "The aperture's half-width must be empty (three sigma of the trace) or a number of pixels from 0.5 to 500, not \"" +
             f.aperture + "\".";
  }
  if (f.sky == SkyChoice::None) return std::nullopt;
  const std::optional<double> offset = ParseDecimal(f.skyOffset), width = ParseDecimal(f.skyWidth);
  if (!offset || !(*offset >= 0 && *offset <= 1000))
    return "The sky bands' offset must be a number of pixels from 0 to 1000, not \"" + f.skyOffset + "\".";
  if (!width || !(*width >= 1 && *width <= 1000))
    return "The sky bands' width must be a number of pixels from 1 to 1000, not \"" + f.skyWidth + "\".";
  if (const std::optional<double> half = ParseDecimal(f.aperture); half && *offset < *half)
    return "The sky bands must lie outside the aperture: their offset (" + f.skyOffset +
           " pixels) is less than the aperture's half-width (" + f.aperture + ").";
  return std::nullopt;
}

// A spectrum file read: its wavelengths and values; nullopt with `problem` set.
std::optional<OpenedSpectrum> ReadSpectrum(Program& app, const std::string& path, std::string& problem) {
  const FileRead read = app.w.Files().ReadFile(path, kMaxSpectrumFileBytes);
  if (!read.ok()) {
    problem = ReadProblem(read, path, kMaxSpectrumFileBytes);
    return std::nullopt;
  }
  SpectrumReadResult opened = ReadSpectrumFile(read.bytes, LeafName(path), FitsDecoderBesideProgram());
  if (!opened.ok()) {
    problem = opened.message;
    return std::nullopt;
  }
  return static_cast<OpenedSpectrum&&>(opened);
}

std::string RangeText(const std::vector<double>& wavelength) {
  return FormatNumber(wavelength.front(), "0.0") + "-" + FormatNumber(wavelength.back(), "0.0") + " A";
}

// The response made from the object and its reference and saved, or read from
// a file, or none; the text of what was done, or nullopt with `problem` set.
std::optional<std::string> TakeResponse(Program& app, const ResponseFields& f, std::string& problem) {
  AppState& s = app.s;
  AppState::NightReduction& n = s.Night;
  const std::string file = Trimmed(f.file);
  if (f.mode == ResponseChoice::None) {
    n.responseWavelength.clear();
    n.responseCurve.clear();
    return std::string("No instrument response is in force: spectra are shown and exported in counts.");
  }
  if (file.empty()) {
    problem = f.mode == ResponseChoice::Make ? "Name a file for the response: the response made is saved there."
                                             : "Name the response file to use.";
    return std::nullopt;
  }
  ResponseCurve curve;
  std::string made;
  if (f.mode == ResponseChoice::Make) {
    const std::optional<double> smoothing = ParseDecimal(f.smoothing);
    if (!smoothing || !(*smoothing >= 1 && *smoothing <= 5000)) {
      problem = "The smoothing must be a number of Angstrom from 1 to 5000, not \"" + f.smoothing + "\".";
      return std::nullopt;
    }
    const std::string reference = Trimmed(f.reference);
    if (reference.empty()) {
      problem = "Name the reference star's spectrum file: its flux as a catalogue gives it.";
      return std::nullopt;
    }
    if (s.Object.Loaded == kFalse || s.Object.Native.empty() || !s.CalibrationDone) {
      problem = "Load the reference star as the object and calibrate it first: the response is its counts over its reference flux.";
      return std::nullopt;
    }
    const std::optional<OpenedSpectrum> ref = ReadSpectrum(app, reference, problem);
    if (!ref) return std::nullopt;
    std::vector<double> wavelength = NativeOfPixels(s, s.Object.Native.size());
    std::vector<double> counts = s.Object.Native;
    if (wavelength.size() > 1 && wavelength.front() > wavelength.back()) {
      std::reverse(wavelength.begin(), wavelength.end());
      std::reverse(counts.begin(), counts.end());
    }
    auto response = MakeResponse(wavelength, counts, ref->wavelength, ref->flux, {*smoothing, f.maskLines});
    if (!response.ok()) {
      problem = "No response: " + response.message;
      return std::nullopt;
    }
    curve = std::move(static_cast<ResponseCurve&>(response));
    const std::string text = ResponseFileText(curve);
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (const FileError error = SaveFile(app, file, bytes); error != FileError::None) {
      problem = SaveRefusal(error, file, "response file");
      return std::nullopt;
    }
    made = "Response made from " + LeafName(s.Object.FileName) + " and " + LeafName(reference) + ", saved as " + file;
  } else {
    const std::optional<OpenedSpectrum> saved = ReadSpectrum(app, file, problem);
    if (!saved) return std::nullopt;
    curve.wavelength = saved->wavelength;
    curve.response = saved->flux;
    const bool rising = std::is_sorted(curve.wavelength.begin(), curve.wavelength.end()) &&
                        std::adjacent_find(curve.wavelength.begin(), curve.wavelength.end()) == curve.wavelength.end();
    if (curve.wavelength.size() < 2 || !rising ||
        std::any_of(curve.response.begin(), curve.response.end(), [](double r) { return !(r > 0); })) {
      problem = file + " is no response: its wavelengths must rise and every response be above 0.";
      return std::nullopt;
    }
    made = "Response read from " + file;
  }
  n.responseWavelength = std::move(curve.wavelength);
  n.responseCurve = std::move(curve.response);
  return made + " (" + std::to_string(n.responseCurve.size()) + " samples, " + RangeText(n.responseWavelength) +
         "). The object's spectrum is shown and exported in relative flux.";
}

}  // namespace

void masters_Click(Program& app) {
  MastersFields shown = app.s.Night.masters;
  for (;;) {
    const std::optional<MastersFields> answer = app.w.MastersDialog(shown);
    if (!answer) return;
    shown = *answer;
    AppState::NightReduction made = app.s.Night;
    std::string problem;
    if (const std::optional<std::string> summary = MakeMasters(app, shown, made, problem)) {
      made.masters = shown;
      app.s.Night = std::move(made);
      app.w.MessageBox("Masters in force for the frames loaded from now on: " + *summary + ".");
      return;
    }
    app.w.MessageBox(problem + " The masters in force are unchanged.");
  }
}

void extraction_Click(Program& app) {
  ExtractionFields shown = app.s.Night.extraction;
  for (;;) {
    const std::optional<ExtractionFields> answer = app.w.ExtractionDialog(shown);
    if (!answer) return;
    shown = *answer;
    if (const std::optional<std::string> problem = ExtractionProblem(shown)) {
      app.w.MessageBox(*problem);
      continue;
    }
    app.s.Night.extraction = shown;
    return;
  }
}

void instrumentResponse_Click(Program& app) {
  ResponseFields shown = app.s.Night.response;
  for (;;) {
    const std::optional<ResponseFields> answer = app.w.ResponseDialog(shown);
    if (!answer) return;
    shown = *answer;
    std::string problem;
    if (const std::optional<std::string> done = TakeResponse(app, shown, problem)) {
      app.s.Night.response = shown;
      app.w.MessageBox(*done);
      return;
    }
    app.w.MessageBox(problem + " The response in force is unchanged.");
  }
}

}  // namespace lxr4
