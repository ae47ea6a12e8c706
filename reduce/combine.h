// Combining frames of one size pixel by pixel: the median, the mean, or the
// sigma-clipped mean (ccdproc's Combiner.sigma_clipping then average_combine:
// values below centre - low x sigma or above centre + high x sigma are
// rejected, the centre and sigma found again from what is left, until nothing
// more is rejected or the iterations run out). Pure code on explicit inputs.
//
// Rows are combined in blocks, each pixel from its own values only, so the
// working set is a row of values per thread and the result does not depend on
// the number of threads. Arithmetic is in double; the result is float.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/result.h"
#include "reduce/frame.h"

namespace lxr4 {

enum class CombineMethod : std::uint8_t { Median, Mean, SigmaClippedMean };
enum class ClipCentre : std::uint8_t { Median, Mean };
// StdDev: the standard deviation of what is left (ddof 0); MadStd: 1.4826 x
// the median absolute deviation about the median (astropy's mad_std).
enum class ClipDeviation : std::uint8_t { StdDev, MadStd };

struct SigmaClip {
  double low = 3.0;   // sigmas below the centre
  double high = 3.0;  // sigmas above the centre
  ClipCentre centre = ClipCentre::Median;
  ClipDeviation deviation = ClipDeviation::StdDev;
  int maxIterations = 1;  // ccdproc's default; each pass can only reject more
};

struct CombineOptions {
  CombineMethod method = CombineMethod::Median;
  SigmaClip clip;   // for SigmaClippedMean
  int threads = 1;  // 0: every core
};

// What is done to each frame's values on the way in, so that a master needs no
// corrected copies of its frames: value of frame i at (x, y) becomes
//   (value - rowLevels[i][y or 0] - offset(x, y) - rate(x, y) x seconds[i]) x scale[i]
// Each part is left out when empty or null; rowLevels[i] holds one level (the
// whole frame) or one per row, offset and rate are frames of the same shape.
struct Preparation {
  std::vector<std::vector<float>> rowLevels;
  const Frame* offset = nullptr;
  const Frame* rate = nullptr;
  std::vector<double> seconds;  // one per frame when rate is set
  std::vector<double> scale;    // one per frame, or empty for 1
};

enum class CombineError : std::uint8_t {
  None,
  NoFrames,
  EmptyFrame,       // a frame without pixels, or whose values do not fill it
  SizeMismatch,     // frames (or the preparation's frames) of different sizes
  BinningMismatch,  // same size, different binning
  BadClip,          // thresholds not above 0, or no iteration
  BadPreparation,   // preparation lists of the wrong length
};

struct Combined {
  Frame frame;             // size and binning of the inputs, no type, one provenance line
  long long rejected = 0;  // values the sigma clip rejected over all pixels
};
using CombineResult = Result<CombineError, Combined>;

[[nodiscard]] CombineResult CombineFrames(std::span<const Frame* const> frames, const CombineOptions& options,
                                          const Preparation& preparation = {});
[[nodiscard]] CombineResult CombineFrames(std::span<const Frame> frames, const CombineOptions& options,
                                          const Preparation& preparation = {});

// The median of `values` (reordered), the mean of the middle two for an even
// count; 0 for none.
[[nodiscard]] double MedianOf(std::span<double> values);

// The number of threads `requested` stands for (0: every core), at most `rows`.
[[nodiscard]] int ThreadsFor(int requested, int rows);

}  // namespace lxr4
