// The files of a night: patterns expanded, frames read through the decoder,
// masters made and saved, the calibration read and carried onto the lamps,
// and each object frame's spectrum written.
#include "batch/night_run.h"

#include <glob.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "calibration/lamps.h"
#include "calibration/line_fit.h"
#include "calibration/reidentify.h"
#include "imagefile/fits_reader.h"
#include "imagefile/spectrum_files.h"
#include "imagefile/spectrum_reader.h"
#include "night/night_masters.h"
#include "platform/files.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;

std::string FitsErrorText(FitsError e) {
  switch (e) {
    case FitsError::None: return "read";
    case FitsError::NotFits: return "is not a FITS file";
    case FitsError::Corrupt: return "is a damaged FITS file";
    case FitsError::NoImage: return "holds no image";
    case FitsError::BadAxes: return "holds no two-dimensional image";
    case FitsError::TooLarge: return "holds an image larger than the program takes";
    case FitsError::Truncated: return "ends before its image does";
    case FitsError::NoValidPixels: return "holds no valid pixel";
    case FitsError::BadScale: return "has a BSCALE or BZERO that is no number";
    case FitsError::DecoderFailed: return "could not be decoded (the FITS decoder failed on it)";
    case FitsError::Unavailable: return "could not be read: the FITS decoder lxr4-fits-decoder is missing beside the program";
  }
  return "could not be read";
}

std::string NameOf(const std::string& path) { return fs::path(path).filename().string(); }

// The decoded frame at `path`, or why not in a sentence naming the file.
Result<FitsError, FitsFrameRead> ReadFrame(const std::string& path, const std::string& decoder) {
  const FileRead file = ReadFile(path, kMaxFitsBytes);
  if (!file.ok()) {
    std::string why = ReadRefusal(file, NameOf(path), kMaxFitsBytes);
    if (why.empty()) why = NameOf(path) + " could not be read.";
    return Result<FitsError, FitsFrameRead>::Refused(FitsError::Unavailable, why);
  }
  FitsReadResult r = ReadFitsFrame(file.bytes, decoder);
  if (!r.ok()) r.message = NameOf(path) + " " + FitsErrorText(r.error) + ".";
  return r;
}

// A saved response (a spectrum file of wavelengths and responses, as the
// window's Instrument Response saves it), or nullopt with `why` set.
std::optional<ResponseCurve> ReadResponse(const std::string& path, const std::string& decoder, std::string& why) {
  const FileRead file = ReadFile(path, kMaxSpectrumFileBytes);
  if (!file.ok()) {
    why = ReadRefusal(file, NameOf(path), kMaxSpectrumFileBytes);
    if (why.empty()) why = NameOf(path) + " could not be read.";
    return std::nullopt;
  }
  const SpectrumReadResult read = ReadSpectrumFile(file.bytes, NameOf(path), decoder);
  if (!read.ok()) {
    why = read.message;
    return std::nullopt;
  }
  ResponseCurve curve;
  curve.wavelength = read.wavelength;
  curve.response = read.flux;
  curve.masked.assign(curve.response.size(), false);
  // ApplyResponse refuses a curve that does not rise or is not above 0; try it on its own samples.
  if (const auto check = ApplyResponse(curve, curve.wavelength, curve.response); !check.ok()) {
    why = NameOf(path) + " is no response: " + check.message;
    return std::nullopt;
  }
  return curve;
}

std::string Resolve(const std::string& path, const std::string& folder) {
  if (path.empty() || fs::path(path).is_absolute()) return path;
  return (fs::path(folder) / path).lexically_normal().string();
}

// The files the patterns name, sorted, each once; the first pattern that
// matches nothing refuses.
Result<NightRunError, NightSetupMade> Expand(const std::vector<std::string>& patterns, const std::string& folder,
                                             std::vector<std::string>& files) {
  std::set<std::string> found;
  for (const std::string& pattern : patterns) {
    const std::string full = Resolve(pattern, folder);
    glob_t g{};
    const int status = glob(full.c_str(), 0, nullptr, &g);
    std::size_t matched = 0;
    if (status == 0) {
      for (std::size_t i = 0; i < g.gl_pathc; ++i) {
        if (!fs::is_regular_file(g.gl_pathv[i])) continue;
        found.insert(g.gl_pathv[i]);
        ++matched;
      }
    }
    globfree(&g);
    if (matched == 0)
      return NightSetupResult::Refused(NightRunError::NoFiles, "\"" + pattern + "\" matches no file.");
  }
  files.assign(found.begin(), found.end());
  return {};
}

// A master: made from its frames and saved in the output folder, or read from its file.
std::optional<std::string> MakeMaster(MasterKind kind, const char* word, const std::vector<std::string>& files,
                                      const std::string& reuse, const NightPlan& plan, NightSetup& setup) {
  NightMasters& m = setup.masters;
  std::optional<Frame>& slot = kind == MasterKind::Bias ? m.bias : kind == MasterKind::Dark ? m.darkRate : m.flat;
  if (!reuse.empty()) {
    auto read = ReadFrame(reuse, setup.decoder);
    if (!read.ok()) return read.message;
    auto master = MasterFromFits(std::move(read.frame), NameOf(reuse), kind);
    if (!master.ok()) return master.message;
    slot = std::move(master.frame);
    setup.steps.push_back(std::string("master ") + word + " read from " + NameOf(reuse));
    return std::nullopt;
  }
  if (files.empty()) return std::nullopt;
  std::vector<NamedFits> frames;
  for (const std::string& path : files) {
    auto read = ReadFrame(path, setup.decoder);
    if (!read.ok()) return read.message;
    frames.push_back({NameOf(path), std::move(read.frame)});
  }
  MasterRequest request;
  request.kind = kind;
  request.combine = plan.combine;
  request.sigma = plan.sigma;
  request.axis = plan.alongColumns ? DispersionAlong::Columns : DispersionAlong::Rows;
  request.bias = m.bias ? &*m.bias : nullptr;
  request.darkRate = m.darkRate ? &*m.darkRate : nullptr;
  MasterResult made = BuildMaster(frames, request);
  if (!made.ok()) return std::string("the master ") + word + " could not be made: " + made.message;
  const std::vector<std::uint8_t> bytes = MasterFileBytes(made.frame, kind, static_cast<int>(frames.size()));
  const std::string out = (fs::path(setup.outputDir) / (std::string("master-") + word + ".fits")).string();
  for (const std::string& input : setup.inputs)
    if (SameFile(input, out)) return out + " is one of the night's input files; it was not written over.";
  if (bytes.empty() || WriteFile(out, bytes) != FileError::None)
    return "the master " + std::string(word) + " could not be saved as " + out + ".";
  setup.steps.push_back(made.frame.provenance.front() + "; saved as " + out);
  slot = std::move(made.frame);
  return std::nullopt;
}

// The lamp's arc: its frame calibrated by the masters, summed across the slit.
std::optional<std::vector<double>> LampArc(const std::string& path, const NightSetup& setup, std::string& why,
                                           std::optional<double>& time) {
  auto read = ReadFrame(path, setup.decoder);
  if (!read.ok()) {
    why = read.message;
    return std::nullopt;
  }
  time = ObservationSeconds(read.frame.facts.dateObs, read.frame.facts.timeObs);
  NightFrameResult r = ReduceNightFrame(std::move(read.frame), NameOf(path), setup.masters, setup.plan.extraction,
                                        false, setup.plan.alongColumns);
  if (!r.ok()) {
    why = r.message;
    return std::nullopt;
  }
  const bool columns = setup.plan.alongColumns;
  const int length = columns ? r.frame.height : r.frame.width;
  std::vector<double> arc(static_cast<std::size_t>(length), 0.0);
  for (int y = 0; y < r.frame.height; ++y)
    for (int x = 0; x < r.frame.width; ++x) arc[static_cast<std::size_t>(columns ? y : x)] += r.frame.at(x, y);
  return arc;
}

// The lines to look for on a lamp: the built-in lists of the gases the saved
// calibration's lines name ("Ne I" -> Ne), else its own lines.
std::vector<ListLine> LinesOfGases(const CalibrationFile& cal) {
  std::set<std::string> gases;
  for (const CalibrationLine& line : cal.lines) {
    const std::string gas = line.label.substr(0, line.label.find(' '));
    if (!LampLines(gas).empty()) gases.insert(gas);
  }
  std::vector<std::vector<ListLine>> lists;
  for (const std::string& g : gases) lists.push_back(LampLines(g));
  if (!lists.empty()) return MergeLampLines(lists, false);
  std::vector<ListLine> own;
  for (const CalibrationLine& line : cal.lines)
    if (line.used) own.push_back({line.wavelength, line.label});
  std::sort(own.begin(), own.end(), [](const ListLine& a, const ListLine& b) { return a.wavelength < b.wavelength; });
  return own;
}

std::optional<std::string> Calibrate(const std::string& calPath,
                                     const std::vector<std::string>& lamps, NightSetup& setup) {
  const FileRead file = ReadFile(calPath, std::size_t{16} << 20);
  if (!file.ok()) return NameOf(calPath) + " could not be read.";
  const std::string text(file.bytes.begin(), file.bytes.end());
  CalibrationFileResult cal = ParseCalibrationFile(text);
  if (!cal.ok()) return NameOf(calPath) + " is no calibration the program can use: " + cal.message;
  if (lamps.empty()) {
    const bool known = cal.file.lamp || cal.file.calibration.pixels != kGridColumns;
    setup.calibrations.push_back({"", std::nullopt, cal.file.calibration, known, "calibration " + NameOf(calPath)});
    setup.steps.push_back("calibration read from " + NameOf(calPath) + " (" + FitModelName(cal.file.calibration) + ")");
    return std::nullopt;
  }
  if (!cal.file.lamp)
    return NameOf(calPath) + " keeps no lamp spectrum to carry the calibration onto the night's lamps; save it "
                             "again with its lamp, or leave out the lamps.";
  const std::vector<ListLine> list = LinesOfGases(cal.file);
  for (const std::string& lamp : lamps) {
    std::string why;
    std::optional<double> time;
    const auto arc = LampArc(lamp, setup, why, time);
    if (!arc) return why;
    const ReidentifyResult r = Reidentify(cal.file.calibration, cal.file.lamp->arc, *arc, list);
    if (!r.ok())
      return "the calibration could not be carried onto " + NameOf(lamp) + ": " + r.message;
    const AutoIdentification& id = r.identification;
    const std::string said = "re-identified on " + NameOf(lamp) + ": " + std::to_string(id.linesUsed) +
                             " lines, rms " + ShortNumberText(std::round(id.rms * 1000) / 1000) + " A";
    setup.calibrations.push_back({lamp, time, id.calibration, true, said});
    setup.steps.push_back("calibration " + NameOf(calPath) + " " + said);
  }
  return std::nullopt;
}

// The calibration of the lamp nearest the frame in time; the first lamp when
// either time is unknown.
const TimedCalibration* CalibrationFor(const NightSetup& setup, std::optional<double> time) {
  if (setup.calibrations.empty()) return nullptr;
  const TimedCalibration* best = &setup.calibrations.front();
  if (!time) return best;
  double nearest = INFINITY;
  for (const TimedCalibration& c : setup.calibrations) {
    if (!c.time) continue;
    const double d = std::abs(*c.time - *time);
    if (d < nearest) {
      nearest = d;
      best = &c;
    }
  }
  return best;
}

std::string Fixed(double v, int digits) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", digits, v);
  return text;
}

}  // namespace

std::optional<double> ObservationSeconds(const std::string& dateObs, const std::string& timeObs) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  double second = 0;
  if (std::sscanf(dateObs.c_str(), "%d-%d-%d", &year, &month, &day) != 3) return std::nullopt;
  const auto t = dateObs.find('T');
  const std::string clock = t != std::string::npos ? dateObs.substr(t + 1) : timeObs;
  if (!clock.empty() && std::sscanf(clock.c_str(), "%d:%d:%lf", &hour, &minute, &second) != 3) return std::nullopt;
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 24 || minute < 0 || minute > 59 ||
      !(second >= 0 && second < 61))
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  const auto days = static_cast<double>(std::chrono::sys_days(date).time_since_epoch().count());
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

NightSetupResult PrepareNight(const NightPlan& plan, const std::string& folder, bool dryRun,
                              const std::string& decoder) {
  NightSetupResult r;
  NightSetup& s = r.setup;
  s.plan = plan;
  s.decoder = decoder;
  s.outputDir = Resolve(plan.output, folder);
  if (!plan.responseFile.empty() && plan.calibrationFile.empty())
    return NightSetupResult::Refused(NightRunError::Response,
                                     "[response] file: a response is divided out at each pixel's wavelength; "
                                     "name the calibration in [calibration] file too.");
  auto expand = [&](const std::vector<std::string>& patterns, std::vector<std::string>& files) {
    NightSetupResult e = Expand(patterns, folder, files);
    s.inputs.insert(s.inputs.end(), files.begin(), files.end());
    return e;
  };
  std::vector<std::string> bias, dark, flat, lamps;
  for (auto [patterns, files] : {std::pair{&plan.biasFrames, &bias}, std::pair{&plan.darkFrames, &dark},
                                 std::pair{&plan.flatFrames, &flat}, std::pair{&plan.lamps, &lamps},
                                 std::pair{&plan.objects, &s.objects}}) {
    if (NightSetupResult e = expand(*patterns, *files); !e.ok()) return e;
  }
  const std::string bm = Resolve(plan.biasMaster, folder), dm = Resolve(plan.darkMaster, folder),
                    fm = Resolve(plan.flatMaster, folder), cal = Resolve(plan.calibrationFile, folder),
                    response = Resolve(plan.responseFile, folder);
  for (const std::string& f : {bm, dm, fm, cal, response})
    if (!f.empty()) s.inputs.push_back(f);
  std::map<std::string, std::string> stems;  // two frames of one name would write the same spectrum files
  for (const std::string& path : s.objects) {
    const auto [at, fresh] = stems.emplace(fs::path(path).stem().string(), path);
    if (!fresh)
      return NightSetupResult::Refused(NightRunError::NoFiles, at->second + " and " + path +
                                                                   " would write spectra of the same name; rename "
                                                                   "one or reduce them into separate folders.");
  }
  s.pending = {{"bias", bias, bm}, {"dark", dark, dm}, {"flat", flat, fm}};
  if (dryRun) return r;

  std::error_code ec;
  fs::create_directories(s.outputDir, ec);
  if (!fs::is_directory(s.outputDir))
    return NightSetupResult::Refused(NightRunError::Master, "The output folder " + s.outputDir +
                                                                " could not be made.");
  const std::pair<MasterKind, const char*> kinds[3] = {
      {MasterKind::Bias, "bias"}, {MasterKind::Dark, "dark"}, {MasterKind::Flat, "flat"}};
  for (std::size_t k = 0; k < 3; ++k)
    if (auto why = MakeMaster(kinds[k].first, kinds[k].second, s.pending[k].files, s.pending[k].reuse, plan, s))
      return NightSetupResult::Refused(NightRunError::Master, *why);
  if (!cal.empty())
    if (auto why = Calibrate(cal, lamps, s)) return NightSetupResult::Refused(NightRunError::Calibration, *why);
  if (!response.empty()) {
    std::string why;
    s.response = ReadResponse(response, decoder, why);
    if (!s.response) return NightSetupResult::Refused(NightRunError::Response, why);
    s.steps.push_back("response: " + NameOf(response) + ", " + std::to_string(s.response->wavelength.size()) +
                      " samples");
  }
  return r;
}

std::vector<std::string> OutputsOf(const NightSetup& setup, const std::string& path) {
  const std::string stem = fs::path(path).stem().string();
  const fs::path out(setup.outputDir);
  std::vector<std::string> files;
  if (!setup.calibrations.empty() || !setup.plan.calibrationFile.empty())
    files.push_back((out / (stem + ".fits")).string());
  files.push_back((out / (stem + ".csv")).string());
  return files;
}

FrameOutcome ReduceObjectFile(const NightSetup& setup, const std::string& path) {
  FrameOutcome o;
  o.file = NameOf(path);
  auto fail = [&o](std::string why) {
    // The summary names the file in its own column.
    if (why.starts_with(o.file + ": ")) why.erase(0, o.file.size() + 2);
    if (!why.empty()) why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    o.reason = std::move(why);
    return o;
  };
  auto read = ReadFrame(path, setup.decoder);
  if (!read.ok()) return fail(read.message);
  const FitsFacts facts = read.frame.facts;
  o.exposure = facts.exposure;
  NightFrameResult night = ReduceNightFrame(std::move(read.frame), o.file, setup.masters, setup.plan.extraction,
                                            true, setup.plan.alongColumns);
  if (!night.ok()) return fail(night.message);
  o.traceRms = night.trace.rms;
  const std::vector<double>& flux = night.spectrum.flux;
  const int length = static_cast<int>(flux.size());

  SpectrumExport e;
  e.values = flux;
  e.facts.object = facts.object;
  e.facts.dateObs = facts.dateObs;
  e.facts.exposure = facts.exposure;
  e.facts.sourceFiles = {path};
  e.facts.program = "lxr4-reduce " LXR4_VERSION;
  const TimedCalibration* cal = CalibrationFor(setup, ObservationSeconds(facts.dateObs, facts.timeObs));
  if (cal) {
    if (cal->pixelsKnown && cal->fit.pixels != length)
      return fail(o.file + ": the calibration counts " + std::to_string(cal->fit.pixels) +
                  " pixels along the dispersion; this frame has " + std::to_string(length) + ".");
    const FittedCalibration fit = cal->fit;
    int first = 0;  // pixels left out before the first kept, beyond the response's range
    if (setup.response) {
      std::vector<double> native;
      for (int p = 1; p <= length; ++p) native.push_back(FittedWavelength(fit, p));
      const auto relative = ApplyResponse(*setup.response, native, flux);
      if (!relative.ok()) return fail(o.file + ": " + relative.message);
      const ResponseCurve& c = *setup.response;
      while (first < length && !(native[static_cast<std::size_t>(first)] >= c.wavelength.front() &&
                                 native[static_cast<std::size_t>(first)] <= c.wavelength.back()))
        ++first;
      e.values = relative.flux;
      e.firstPixel = first + 1;
      e.facts.relativeFlux = true;
    }
    e.wavelength = [fit, first](int column) { return static_cast<double>(FittedWavelength(fit, column + first)); };
    e.facts.calibration = cal->description;
    const double a = e.wavelength(1), b = e.wavelength(static_cast<int>(e.values.size()));
    o.range = Fixed(std::min(a, b), 1) + "-" + Fixed(std::max(a, b), 1) + " A";
  } else {
    o.range = "pixels 1-" + std::to_string(length);
  }

  const std::vector<std::string> outputs = OutputsOf(setup, path);
  for (const std::string& out : outputs) {
    for (const std::string& input : setup.inputs)
      if (SameFile(input, out)) return fail(out + " is one of the night's input files; it was not written over.");
    const bool fits = out.ends_with(".fits");
    const SpectrumFile file = fits ? WriteLinearFitsSpectrum(e) : WriteCsvSpectrum(e);
    if (file.error != SpectrumFileError::None)
      return fail(o.file + ": its spectrum could not be written as " + (fits ? "linear FITS" : "CSV") + ".");
    if (WriteFile(out, file.bytes) != FileError::None) return fail(out + " could not be written.");
    o.outputs.push_back(out);
  }
  o.ok = true;
  return o;
}

}  // namespace lxr4
