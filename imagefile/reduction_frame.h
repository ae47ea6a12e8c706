// A FITS frame as the night's reduction takes it (reduce/frame.h): its values,
// exposure, binning and image type, and the overscan and trim sections its
// header names. Pure code on what ReadFitsFrame gave.
#pragma once

#include <cstdint>
#include <optional>

#include "base/result.h"
#include "imagefile/fits_reader.h"
#include "reduce/frame.h"
#include "reduce/section.h"

namespace lxr4 {

inline constexpr int kMaxBinning = 64;

enum class ReductionFrameError : std::uint8_t {
  None,
  BadBinning,  // XBINNING or YBINNING not a whole number from 1 to kMaxBinning
  BadSection,  // BIASSEC or TRIMSEC not a section inside the frame
};

struct ReductionFrame {
  Frame frame;  // binning 1 x 1 where the header gives none; provenance: the file's name
  std::optional<Section> overscan, trim;  // BIASSEC, TRIMSEC when the header has them
};
using ReductionFrameResult = Result<ReductionFrameError, ReductionFrame>;

// `name` (the file's name) goes into the frame's provenance and the messages.
[[nodiscard]] ReductionFrameResult ReductionFrameOf(FitsFrame fits, const std::string& name);

}  // namespace lxr4
