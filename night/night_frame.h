// A night's frame from raw to spectrum: calibrated by the masters in force,
// cleaned of cosmic rays, stacked with others of the same object, and its
// spectrum extracted along the object's trace less the sky. Pure code on
// decoded frames (imagefile/fits_reader.h); the callers read the files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/reduction_fields.h"
#include "base/result.h"
#include "extract/extract.h"
#include "extract/trace.h"
#include "imagefile/fits_reader.h"
#include "reduce/frame.h"

namespace lxr4 {

// The masters in force; a kind not given is not applied.
struct NightMasters {
  std::optional<Frame> bias, darkRate, flat;
  [[nodiscard]] bool any() const { return bias || darkRate || flat; }
};

// How an object frame's spectrum is taken (the Extraction dialog's fields, read).
struct NightExtraction {
  ExtractionChoice method = ExtractionChoice::Swath;
  std::optional<double> halfWidth;  // none: DefaultHalfWidth of the trace
  SkyOptions sky;
  bool cosmicRays = false;
  CombineChoice stack = CombineChoice::SigmaClip;
  double gain = 1.0, readNoise = 0.0;  // electrons per unit, electrons: the noise the detector and extraction take
};

enum class NightError : std::uint8_t {
  None,
  Frame,        // the header's sections or binning (imagefile/reduction_frame.h)
  Calibrate,    // a master of another size, binning or kind (reduce/calibrate_frame.h)
  CosmicRays,   // the frame is too small for the detector
  Trace,        // no trace found
  Extract,      // the aperture or the sky bands leave the frame
  Stack,        // frames of different sizes, or fewer than two
};

// A frame ready for the import and, with a trace extraction, its spectrum.
struct NightFrame {
  // The calibrated, trimmed and cleaned values with the raw frame's facts
  // (exposure the stack's total), dispersion as in the raw frame.
  FitsFrame frame;
  std::vector<std::string> provenance;  // each step done, one a line
  int cosmicRays = 0;                   // pixels replaced
  int stacked = 1;                      // frames combined into it
  // A trace extraction: along the dispersion from the frame's first pixel.
  bool traced = false;
  bool alongColumns = false;  // the dispersion runs down the frame's columns
  TraceValue trace;           // across the slit against the dispersion pixel, from 0
  double halfWidth = 0;       // of the aperture, pixels
  SkyOptions sky;
  ExtractedSpectrum spectrum;
};
using NightFrameResult = Result<NightError, NightFrame>;

// Calibrates `raw` (named `name` in messages and provenance) by `masters`,
// removes cosmic rays when asked and `object`, and for an object with a trace
// method finds the trace and extracts the spectrum. `axis` is the dispersion
// as the import finds or was told it.
[[nodiscard]] NightFrameResult ReduceNightFrame(FitsFrame raw, const std::string& name, const NightMasters& masters,
                                                const NightExtraction& extraction, bool object, bool alongColumns);

// Several frames of one object, each calibrated (ReduceNightFrame's frame
// without extraction), shifted across the slit onto the first one's trace
// and combined by the stack choice: one frame of the first one's facts, its
// exposure the sum. Then extracted as ReduceNightFrame does.
[[nodiscard]] NightFrameResult StackNightFrames(std::vector<NightFrame> frames, const NightExtraction& extraction,
                                                bool alongColumns);

}  // namespace lxr4
