// The night file lxr4-reduce reads: what to make masters of, the calibration,
// how to extract, and the object frames. A small subset of TOML:
//
//   # comments
//   [masters]
//   bias = ["raw/bias*.fits"]     (a list of files or glob patterns, or one string)
//   dark-master = "master-dark.fits"
//   combine = "sigma-clip"        (or "median")
//   sigma = 3
//   [extraction]
//   cosmic-rays = true
//
// or a plain list of object frames (patterns), one a line. Pure code on the
// file's text; the messages name the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "night/night_frame.h"

namespace lxr4 {

struct NightPlan {
  // [masters]: frames to combine (patterns as written) or a saved master to use.
  std::vector<std::string> biasFrames, darkFrames, flatFrames;
  std::string biasMaster, darkMaster, flatMaster;
  CombineChoice combine = CombineChoice::SigmaClip;
  double sigma = 3;
  // [calibration]: a saved calibration, and lamps to carry it onto.
  std::string calibrationFile;
  std::vector<std::string> lamps;
  // [response]: a saved response curve.
  std::string responseFile;
  // [extraction]
  NightExtraction extraction = DefaultExtraction();
  bool alongColumns = false;  // dispersion = "columns"
  // [objects]
  std::vector<std::string> objects;
  std::string output = "reduced";

  // Optimal extraction, the aperture from the trace, median sky, cosmic rays removed.
  [[nodiscard]] static NightExtraction DefaultExtraction() {
    NightExtraction e;
    e.method = ExtractionChoice::Optimal;
    e.cosmicRays = true;
    return e;
  }
};

enum class NightFileError : std::uint8_t {
  None,
  Syntax,      // a line that is no section, key = value or comment
  UnknownKey,  // a section or key the night file has not
  BadValue,    // a value of the wrong kind or out of range
  Repeated,    // a key given twice in its section
  NoObjects,   // no object frames named
};

struct NightFileRead {
  NightPlan plan;
};
using NightFileResult = Result<NightFileError, NightFileRead>;

// Parses the night file; any fault refuses the whole file with
// "line 4: ..." (or, for what is missing, without a line).
[[nodiscard]] NightFileResult ParseNightFile(std::string_view text);

}  // namespace lxr4
