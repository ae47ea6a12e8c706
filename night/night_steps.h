// The steps ReduceNightFrame and StackNightFrames share: a frame turned so
// its dispersion runs along the rows, and the trace found and the spectrum
// extracted from it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "extract/frame.h"
#include "night/night_frame.h"

namespace lxr4 {

// The frame's values with the dispersion along the rows: as they are, or
// transposed when it runs down the columns.
struct DispersedFrame {
  int width = 0, height = 0;  // along the dispersion, across the slit
  std::vector<float> values;
  [[nodiscard]] FrameView View(const NightExtraction& extraction) const {
    return {width, height, values, {}, extraction.gain, extraction.readNoise};
  }
};
[[nodiscard]] DispersedFrame Dispersed(const FitsFrame& frame, bool alongColumns);

// `night` as a result that succeeded.
[[nodiscard]] inline NightFrameResult Done(NightFrame night) {
  NightFrameResult r;
  static_cast<NightFrame&>(r) = std::move(night);
  return r;
}

// Finds the trace on `night.frame` and extracts its spectrum as `extraction`
// says (nothing for the Swath method), with the provenance lines; `name`
// names the frame in the messages.
[[nodiscard]] NightFrameResult ExtractNight(NightFrame night, const std::string& name,
                                            const NightExtraction& extraction, bool alongColumns);

}  // namespace lxr4
