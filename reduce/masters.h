// Master calibration frames from a night's bias, dark and flat frames. Each
// master keeps the full frame (overscan included); calibrate_frame.h trims.
// Pure code on explicit inputs; every refusal is a MasterError with the
// program's text, and nothing is made.
//
// - bias: the frames combined, less each frame's overscan.
// - dark: each frame less its overscan and the bias, divided by its exposure,
//   combined: counts per second, scaled by a frame's exposure when applied.
// - flat: each frame less its overscan, the bias and the dark for its
//   exposure, scaled to mean 1, combined; then divided by the lamp's spectral
//   shape (the median across the slit of each position along the dispersion,
//   smoothed by a running median), so that what is left is the pixels'
//   response and not the lamp's colour, normalised to mean 1 over the lit
//   pixels. A pixel whose response is below the floor, or at a position where
//   the lamp gave less than the floor times its typical level, is set to 1
//   (no correction) and counted.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/result.h"
#include "reduce/combine.h"
#include "reduce/frame.h"
#include "reduce/overscan.h"

namespace lxr4 {

enum class MasterError : std::uint8_t {
  None,
  NoFrames,
  EmptyFrame,
  SizeMismatch,     // frames, or a master given, of different sizes
  BinningMismatch,  // frames, or a master given, of different binnings
  WrongType,        // a frame's image type is another kind (a DARK among the biases)
  NoExposure,       // a dark, or a flat when a dark is given, without an exposure above 0
  BadOverscan,      // the overscan region lies outside the frames
  BadOptions,       // clip thresholds, smoothing width, floor or slit out of range
  FlatTooFaint,     // a flat's mean, or the lamp's typical level, is not above 0
};

struct MasterBuilt {
  Frame frame;             // imageType BIAS, DARK (per second) or FLAT; provenance of its making
  long long rejected = 0;  // values the sigma clip rejected
  long long floored = 0;   // flat pixels set to 1
};
using MasterResult = Result<MasterError, MasterBuilt>;

// Which way the spectrum runs on the frame.
enum class DispersionAlong : std::uint8_t {
  Rows,     // wavelength changes from column to column; the slit runs down the rows
  Columns,  // wavelength changes from row to row
};

struct FlatOptions {
  DispersionAlong axis = DispersionAlong::Rows;
  // The rows (Rows) or columns (Columns) the slit lights, from 1,
  // both included; none: all of them.
  std::optional<int> slitFirst, slitLast;
  int smoothWidth = 31;  // running median along the dispersion, odd, at least 1 (1: no smoothing)
  double floor = 0.1;    // fraction, in (0, 1)
};

[[nodiscard]] MasterResult MakeMasterBias(std::span<const Frame> biases, const CombineOptions& combine,
                                          const Overscan& overscan = {});

// `bias` may be null (overscan only).
[[nodiscard]] MasterResult MakeMasterDark(std::span<const Frame> darks, const Frame* bias,
                                          const CombineOptions& combine, const Overscan& overscan = {});

// `bias` and `darkRate` (a master dark, per second) may be null.
[[nodiscard]] MasterResult MakeMasterFlat(std::span<const Frame> flats, const Frame* bias, const Frame* darkRate,
                                          const CombineOptions& combine, const FlatOptions& flat,
                                          const Overscan& overscan = {});

// The flat's response: `combined` divided by its smoothed spectral shape and
// normalised to mean 1 over the lit pixels (the second half of MakeMasterFlat).
[[nodiscard]] MasterResult FlatResponse(const Frame& combined, const FlatOptions& flat);

}  // namespace lxr4
