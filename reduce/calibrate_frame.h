// A frame calibrated by its masters: the overscan level, the master bias, the
// master dark scaled by the frame's exposure, the master flat divided out, then
// the trim section kept. Pure code; each step is left out when its master (or
// section) is not given.
#pragma once

#include <cstdint>
#include <optional>

#include "base/result.h"
#include "reduce/frame.h"
#include "reduce/overscan.h"
#include "reduce/section.h"

namespace lxr4 {

struct CalibrationMasters {
  const Frame* bias = nullptr;      // master bias (masters.h)
  const Frame* darkRate = nullptr;  // master dark, counts per second
  const Frame* flat = nullptr;      // master flat, the pixels' response about 1, never 0
  Overscan overscan;
  std::optional<Section> trim;  // the part kept, from the untrimmed frame
};

enum class CalibrateError : std::uint8_t {
  None,
  EmptyFrame,     // the frame holds no image
  ShapeMismatch,  // a master of another size or binning than the frame
  WrongType,      // the frame is a BIAS, DARK or FLAT, or a master is not of its kind
  NoExposure,     // a dark to scale, and the frame has no exposure above 0
  BadSection,     // the overscan or trim section lies outside the frame
};

struct CalibratedFrame {
  Frame frame;  // the trim's size (or the frame's), same binning, type and exposure, provenance added
};
using CalibrateResult = Result<CalibrateError, CalibratedFrame>;

[[nodiscard]] CalibrateResult CalibrateFrame(const Frame& raw, const CalibrationMasters& masters);

}  // namespace lxr4
