// Cosmic rays on a frame by their sharp edges: the Laplacian detector of van
// Dokkum (2001, L.A.Cosmic). Pure code on explicit inputs; the noise is the
// frame's (extract/frame.h): its own variance, else its gain and read noise.
#pragma once

#include <cstdint>
#include <vector>

#include "base/result.h"
#include "extract/frame.h"

namespace lxr4 {

struct CosmicRayOptions {
  double sigClip = 4.5;  // Laplacian over noise for a cosmic ray
  double sigFrac = 0.3;  // of sigClip, for the pixels next to one
  double objLim = 5.0;   // Laplacian over fine structure: keeps a star's or a line's sharp core
  int iterations = 4;    // at most; stops when one finds nothing new
};

enum class CosmicRayError {
  None,
  BadFrame,       // empty, sizes disagree, a value not finite, gain <= 0
  BadOptions,     // a limit <= 0, sigFrac above 1, iterations outside 1..10
  FrameTooSmall,  // under 7 pixels either way, the largest median filter
};

struct CleanedFrame {
  std::vector<std::uint8_t> mask;  // 1 for a cosmic ray, the frame's layout
  std::vector<float> cleaned;      // the frame, each flagged pixel the median of its good 5 x 5 neighbours
  int flagged = 0;
  int iterationsRun = 0;
};
using CosmicRayResult = Result<CosmicRayError, CleanedFrame>;

// Each pass: the frame subsampled 2 x 2, convolved with the Laplacian, negative
// values clipped and rebinned; over twice the noise of the 5 x 5 median frame
// and less its own 5 x 5 median, the significance; a pixel above sigClip whose
// significance is objLim times the fine structure (3 x 3 median less its 7 x 7
// median, over the noise) is a cosmic ray, grown once to neighbours above sigClip
// and once more to those above sigFrac x sigClip. The flagged pixels are
// replaced before the next pass. Medians reflect at the frame's edges.
[[nodiscard]] CosmicRayResult FindCosmicRays(const FrameView& frame, const CosmicRayOptions& options = {});

}  // namespace lxr4
