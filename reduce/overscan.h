// The overscan: columns (or rows) of a frame read out past the detector's
// pixels, whose median is the frame's bias level at readout. Pure code.
#pragma once

#include <optional>
#include <vector>

#include "reduce/frame.h"
#include "reduce/section.h"

namespace lxr4 {

struct Overscan {
  std::optional<Section> region;  // none: no overscan subtracted
  bool perRow = false;            // the median of each row's part of the region, else one median
};

// The levels to subtract: empty without a region; one value (the median of the
// whole region), or with perRow one per row of the frame (the median of the
// row's part of the region; rows outside the region take the level of the
// nearest row inside). The region must lie inside the frame (OverscanFits).
[[nodiscard]] std::vector<float> OverscanLevels(const Frame& frame, const Overscan& overscan);

// True when there is no region or it lies inside the frame.
[[nodiscard]] bool OverscanFits(const Frame& frame, const Overscan& overscan);

}  // namespace lxr4
