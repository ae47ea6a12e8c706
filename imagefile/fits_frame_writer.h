// Writing a camera frame as a FITS image: any BITPIX, BZERO/BSCALE, a third
// axis, the image in an extension, tile compression, gzip, for the tools and
// tests that need frames of every kind; the program writes master frames
// (night/night_masters.h) as 32-bit floats with HISTORY cards.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace lxr4 {

struct FrameFile {
  int width = 0, height = 0, planes = 1;  // planes above 1: NAXIS 3, the further planes zero
  int bitpix = 16;
  std::optional<double> bzero, bscale;     // written as keys; values are given unscaled
  bool inExtension = false;                // an empty primary HDU, the image in extension 1
  bool tileCompressed = false;  // Rice tiles in extension 1 (the .fz layout)
  bool gzipped = false;
  std::vector<std::pair<std::string, std::string>> textKeys;  // e.g. {"OBJECT", "Vega"}
  std::vector<std::pair<std::string, double>> numberKeys;     // e.g. {"EXPTIME", 30}
  std::vector<std::string> history;  // one HISTORY card each (a long one runs on over several)
};

// `values`: width x height physical values, row by row (NaN allowed for floats).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> WriteFrameFile(const FrameFile& shape,
                                                                      std::span<const double> values);

// A synthetic spectrum frame of width x height values, row by row, on a
// background of 100 with a little deterministic noise. The dispersion runs
// along the rows or along the columns; `trace` is the position across it (0..1).
//   Star: a trace 2 pixels wide (sigma) across, a sloping continuum of about
//         1000 with absorption lines along.
//   Arc:  the slit lit over its middle 80 %, seven emission lines of up to 5000 along.
enum class FrameScene : std::uint8_t { Star, Arc };
[[nodiscard]] std::vector<double> SpectrumScene(int width, int height, FrameScene scene, bool alongRows,
                                                double trace = 0.5);

}  // namespace lxr4
