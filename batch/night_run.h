// A night run by lxr4-reduce: the files the night file names found on disk,
// the masters made or read, the calibration and its lamps, then each object
// frame reduced to its spectrum files. Reads and writes files; the arithmetic
// is night/'s.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "batch/night_file.h"
#include "calibration/calibration_file.h"
#include "measure/response.h"
#include "night/night_frame.h"

namespace lxr4 {

// A calibration in force from some time on: the saved one, or carried onto a lamp.
struct TimedCalibration {
  std::string lamp;           // the lamp's file, empty for the saved calibration as it is
  std::optional<double> time;  // the lamp's DATE-OBS, seconds
  FittedCalibration fit;
  bool pixelsKnown = true;     // false: a camera image's calibration, its 768 columns taken as they come
  std::string description;     // "re-identified on arc1.fits: 24 lines, rms 0.05 A"
};

// What every object frame of the night shares, made before them.
struct NightSetup {
  NightPlan plan;
  std::string decoder;  // the FITS decoder's path (imagefile/fits_reader.h)
  std::string outputDir;
  std::vector<std::string> objects;  // paths, sorted, each once
  std::vector<std::string> inputs;   // every file read: never written over
  NightMasters masters;
  std::vector<std::string> steps;    // what was done before the frames, for the log
  std::vector<TimedCalibration> calibrations;  // none: spectra in pixels
  std::optional<ResponseCurve> response;       // the spectra divided by it: relative flux
  struct Pending {                             // masters to be made (for --dry-run)
    const char* kind;
    std::vector<std::string> files;
    std::string reuse;
  };
  std::vector<Pending> pending;
};

enum class NightRunError : std::uint8_t {
  None,
  NoFiles,      // a pattern matched no file
  Master,       // a master could not be read, made or saved
  Calibration,  // the calibration or a lamp could not be read or used
  Response,     // the response file cannot be read, is no response, or has no calibration to go with
};
struct NightSetupMade {
  NightSetup setup;
};
using NightSetupResult = Result<NightRunError, NightSetupMade>;

// Finds the files (patterns relative to `folder`, glob(3), sorted) and, unless
// `dryRun`, makes the masters (saved in the output folder), reads the
// calibration and carries it onto the lamps. Frames are decoded by `decoder`.
[[nodiscard]] NightSetupResult PrepareNight(const NightPlan& plan, const std::string& folder, bool dryRun,
                                            const std::string& decoder);

struct FrameOutcome {
  std::string file;
  bool ok = false;
  std::string reason;  // why it failed
  std::optional<double> exposure;
  std::optional<double> traceRms;
  std::string range;                 // "4000.1-7000.5 A", or "pixels 1-600" without a calibration
  std::vector<std::string> outputs;  // files written
};

// The spectrum files of one object frame: <stem>.fits (linear in wavelength,
// with a calibration) and <stem>.csv in the output folder.
[[nodiscard]] FrameOutcome ReduceObjectFile(const NightSetup& setup, const std::string& path);

// The files an object frame gives (for --dry-run and the checks).
[[nodiscard]] std::vector<std::string> OutputsOf(const NightSetup& setup, const std::string& path);

// "2026-03-01T21:04:09" (or a date and a separate time) as seconds since 1970; none when unreadable.
[[nodiscard]] std::optional<double> ObservationSeconds(const std::string& dateObs, const std::string& timeObs);

}  // namespace lxr4
