// The object's trace on a frame: where its spectrum crosses the slit at each
// column, as a polynomial of the column, and how wide it is. Pure code on
// explicit inputs. Coordinates as in extract/frame.h (from 0, pixel centres on
// whole numbers).
#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "extract/frame.h"

namespace lxr4 {

struct TraceOptions {
  int order = 2;            // of the polynomial of the centre against x: 0..3
  int blockColumns = 32;    // columns collapsed (median) into one profile across the slit
  double minPeakSigma = 5;  // a block's peak above its background, in its noise, to count
  double clipSigma = 3;     // a block further than this from the fit (robust sigma) is dropped
};

enum class TraceError {
  None,
  BadFrame,    // empty, sizes disagree, a value not finite, gain <= 0
  BadOptions,  // order outside 0..3, fewer than 1 column a block
  NoTrace,     // too few blocks with a peak that stands out to fit the polynomial
};

struct TraceValue {
  std::vector<double> coefficients;  // of t = (x - xMid) / xHalf, lowest power first
  double xMid = 0;
  double xHalf = 1;
  double sigma = 0;  // the profile's sigma across the slit as the pixels sample it (blocks' median)
  double rms = 0;    // of the kept blocks' centres about the polynomial, pixels
  int blocksKept = 0;
  int blocksDropped = 0;  // blocks with a peak the fit clipped
  int blocksWithoutPeak = 0;

  // The trace's centre (y) at column x.
  [[nodiscard]] double Centre(double x) const;
};
using TraceResult = Result<TraceError, TraceValue>;

// Finds the trace: per block of columns the profile across the slit (the median
// of the block's columns, less its median), its highest peak and a Gaussian fit
// to it; then the polynomial through the block centres, refitted without the
// blocks it clips until none is clipped. Refuses (NoTrace, with the counts in
// the message) when fewer than half the blocks, or fewer than order + 2, show
// a peak.
[[nodiscard]] TraceResult FindTrace(const FrameView& frame, const TraceOptions& options = {});

// A trace given by the caller: the polynomial c (lowest power first) of x in
// pixels and the profile's sigma, as FindTrace would give it.
[[nodiscard]] TraceValue TraceFromPolynomial(std::vector<double> c, double sigma);

}  // namespace lxr4
