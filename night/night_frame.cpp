// One night frame from raw to spectrum: the header's sections, the masters,
// the cosmic rays, then the trace and the extraction.
#include "night/night_frame.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "extract/cosmic_rays.h"
#include "imagefile/reduction_frame.h"
#include "night/night_steps.h"
#include "reduce/calibrate_frame.h"
#include "reduce/combine.h"

namespace lxr4 {
namespace {

// The master's name for the provenance: its file, or how it was made.
std::string MasterLabel(const Frame& master, const char* fallback) {
  return master.provenance.empty() ? std::string(fallback) : master.provenance.front();
}

// CalibrateFrame's steps said with the masters' names.
void NameMasters(std::vector<std::string>& lines, const NightMasters& m) {
  for (std::string& line : lines) {
    if (m.bias && line == "master bias subtracted") line = "bias subtracted: " + MasterLabel(*m.bias, "master bias");
    if (m.darkRate && line == "master dark subtracted for the exposure")
      line = "dark subtracted for the exposure: " + MasterLabel(*m.darkRate, "master dark");
    if (m.flat && line == "divided by the master flat") line = "flat-fielded: " + MasterLabel(*m.flat, "master flat");
  }
}

// L.A.Cosmic takes the wings of a bright trace for cosmic rays: their
// curvature grows with the square root of the signal while the fine structure
// that should protect them vanishes on a slope. Within the aperture a flagged
// pixel stays a cosmic ray only where it also stands 5 sigma above the median
// of the three pixels either side along the dispersion, over which the
// profile barely moves; the others get their values back. Without a trace
// every flag stands.
void SpareTheTrace(const Frame& frame, CleanedFrame& rays, const NightExtraction& e, bool alongColumns) {
  const std::vector<float>& original = frame.values;
  FitsFrame f;
  f.width = frame.width;
  f.height = frame.height;
  f.values = original;
  const DispersedFrame d = Dispersed(f, alongColumns);
  const FrameView view = d.View(e);
  const TraceResult trace = FindTrace(view);
  if (!trace.ok()) return;
  const double reach = e.halfWidth.value_or(DefaultHalfWidth(trace)) + 1;
  std::vector<double> around;
  for (int a = 0; a < d.height; ++a) {
    for (int x = 0; x < d.width; ++x) {
      const std::size_t i = alongColumns ? static_cast<std::size_t>(x) * static_cast<std::size_t>(frame.width) +
                                               static_cast<std::size_t>(a)
                                         : static_cast<std::size_t>(a) * static_cast<std::size_t>(frame.width) +
                                               static_cast<std::size_t>(x);
      if (!rays.mask[i] || std::abs(a - trace.Centre(x)) > reach) continue;
      around.clear();
      for (int k = -3; k <= 3; ++k)
        if (k != 0 && x + k >= 0 && x + k < d.width) around.push_back(view.at(x + k, a));
      std::nth_element(around.begin(), around.begin() + static_cast<std::ptrdiff_t>(around.size() / 2), around.end());
      const double level = around[around.size() / 2];
      if (view.at(x, a) - level > 5 * std::sqrt(ModelVariance(view, level))) continue;
      rays.mask[i] = 0;
      rays.cleaned[i] = original[i];
      --rays.flagged;
    }
  }
}

}  // namespace

DispersedFrame Dispersed(const FitsFrame& frame, bool alongColumns) {
  DispersedFrame d;
  if (!alongColumns) {
    d.width = frame.width;
    d.height = frame.height;
    d.values = frame.values;
    return d;
  }
  d.width = frame.height;
  d.height = frame.width;
  d.values.resize(frame.values.size());
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x)
      d.values[static_cast<std::size_t>(x) * static_cast<std::size_t>(d.width) + static_cast<std::size_t>(y)] =
          frame.at(x, y);
  return d;
}

NightFrameResult ExtractNight(NightFrame night, const std::string& name, const NightExtraction& extraction,
                              bool alongColumns) {
  night.alongColumns = alongColumns;
  if (extraction.method == ExtractionChoice::Swath) return Done(std::move(night));
  const DispersedFrame d = Dispersed(night.frame, alongColumns);
  const FrameView view = d.View(extraction);
  const TraceResult trace = FindTrace(view);
  if (!trace.ok())
    return NightFrameResult::Refused(NightError::Trace, name + ": no trace of the object was found. " + trace.message);
  ExtractOptions options;
  options.halfWidth = extraction.halfWidth.value_or(DefaultHalfWidth(trace));
  options.sky = extraction.sky;
  const bool optimal = extraction.method == ExtractionChoice::Optimal;
  ExtractResult spectrum = optimal ? ExtractOptimal(view, trace, options) : ExtractBoxcar(view, trace, options);
  if (!spectrum.ok())
    return NightFrameResult::Refused(NightError::Extract, name + ": the spectrum could not be extracted. " +
                                                              spectrum.message);
  night.traced = true;
  night.trace = trace;
  night.halfWidth = options.halfWidth;
  night.sky = options.sky;
  night.spectrum = std::move(spectrum);
  night.provenance.push_back("trace: order " + std::to_string(trace.coefficients.size() - 1) + ", rms " +
                             ShortNumberText(std::round(trace.rms * 1000) / 1000) + " px");
  std::string line = std::string(optimal ? "optimal" : "boxcar") + " extraction, aperture +- " +
                     ShortNumberText(std::round(options.halfWidth * 100) / 100) + " px";
  if (options.sky.method != SkyMethod::None)
    line += std::string(", sky ") + (options.sky.method == SkyMethod::Median ? "median" : "fit") + " of bands " +
            ShortNumberText(options.sky.width) + " px wide " + ShortNumberText(options.sky.offset) + " px out";
  if (optimal && night.spectrum.rejectedPixels > 0)
    line += ", " + std::to_string(night.spectrum.rejectedPixels) + " pixels left out";
  night.provenance.push_back(line);
  return Done(std::move(night));
}

namespace {

// The robust standard deviation (1.4826 x the median absolute deviation) of
// the overscan's values about each row's median, in the frame's units.
double OverscanNoise(const Frame& frame, const Section& s) {
  std::vector<double> deviations, row;
  for (int y = s.y1 - 1; y < s.y2; ++y) {
    row.clear();
    for (int x = s.x1 - 1; x < s.x2; ++x) row.push_back(frame.at(x, y));
    std::vector<double> sorted = row;
    const double median = MedianOf(sorted);
    for (const double v : row) deviations.push_back(std::fabs(v - median));
  }
  return 1.4826 * MedianOf(deviations);
}

}  // namespace

NightFrameResult ReduceNightFrame(FitsFrame raw, const std::string& name, const NightMasters& masters,
                                  const NightExtraction& asked, bool object, bool alongColumns) {
  FitsFacts facts = raw.facts;
  ReductionFrameResult reduction = ReductionFrameOf(std::move(raw), name);
  if (!reduction.ok()) return NightFrameResult::Refused(NightError::Frame, reduction.message);
  // Without a read noise given, the overscan's scatter is the read noise: the
  // noise of a faint sky would otherwise be taken for less than it is, and
  // its pixels for cosmic rays.
  NightExtraction extraction = asked;
  if (extraction.readNoise == 0 && reduction.overscan)
    extraction.readNoise = OverscanNoise(reduction.frame, *reduction.overscan) * extraction.gain;
  CalibrationMasters cm;
  cm.bias = masters.bias ? &*masters.bias : nullptr;
  cm.darkRate = masters.darkRate ? &*masters.darkRate : nullptr;
  cm.flat = masters.flat ? &*masters.flat : nullptr;
  cm.overscan.region = reduction.overscan;
  cm.trim = reduction.trim;
  CalibrateResult calibrated = CalibrateFrame(reduction.frame, cm);
  if (!calibrated.ok()) return NightFrameResult::Refused(NightError::Calibrate, name + ": " + calibrated.message);
  Frame& frame = calibrated.frame;

  NightFrame night;
  night.provenance = std::move(frame.provenance);
  NameMasters(night.provenance, masters);
  if (object && extraction.cosmicRays) {
    const FrameView view{frame.width, frame.height, frame.values, {}, extraction.gain, extraction.readNoise};
    CosmicRayResult rays = FindCosmicRays(view);
    if (!rays.ok())
      return NightFrameResult::Refused(NightError::CosmicRays, name + ": cosmic rays could not be looked for. " +
                                                                   rays.message);
    SpareTheTrace(frame, rays, extraction, alongColumns);
    frame.values = std::move(rays.cleaned);
    night.cosmicRays = rays.flagged;
    night.provenance.push_back("cosmic rays: " + std::to_string(rays.flagged) + " pixels");
  }
  // The sections are spent: the values are trimmed and the overscan gone.
  facts.biasSection.clear();
  facts.trimSection.clear();
  night.frame.width = frame.width;
  night.frame.height = frame.height;
  night.frame.values = std::move(frame.values);
  night.frame.bitpix = -32;  // calibrated values are floats whatever the camera wrote
  night.frame.facts = std::move(facts);
  if (!object) return Done(std::move(night));
  return ExtractNight(std::move(night), name, extraction, alongColumns);
}

}  // namespace lxr4
