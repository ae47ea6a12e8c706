// Frames of one object stacked: each one's trace found, the frames shifted
// across the slit by whole pixels onto the first one's trace (no resampling,
// so the noise stays each pixel's own), and combined pixel by pixel.
#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "night/night_frame.h"
#include "night/night_steps.h"
#include "reduce/combine.h"

namespace lxr4 {
namespace {

// The frame's file, which ReductionFrameOf put first in its provenance.
std::string NameOf(const NightFrame& f, std::size_t i) {
  return f.provenance.empty() ? "frame " + std::to_string(i + 1) : f.provenance.front();
}

// `d` moved `shift` pixels across the slit (towards larger rows for a
// positive shift); the rows moved in from beyond the frame take its median,
// which the combination's clip or median outvotes where the others cover.
Frame Shifted(const DispersedFrame& d, int shift) {
  Frame f;
  f.width = d.width;
  f.height = d.height;
  std::vector<double> sorted(d.values.begin(), d.values.end());
  const auto fill = static_cast<float>(MedianOf(sorted));
  f.values.assign(d.values.size(), fill);
  for (int y = 0; y < d.height; ++y) {
    const int from = y - shift;
    if (from < 0 || from >= d.height) continue;
    std::copy_n(d.values.begin() + static_cast<std::ptrdiff_t>(from) * d.width, d.width,
                f.values.begin() + static_cast<std::ptrdiff_t>(y) * d.width);
  }
  return f;
}

// Back to the frame's own orientation.
std::vector<float> Undispersed(const Frame& f, bool alongColumns) {
  if (!alongColumns) return f.values;
  std::vector<float> out(f.values.size());
  // f is dispersion along x = the original rows: original (x', y') = (y, x).
  for (int y = 0; y < f.height; ++y)
    for (int x = 0; x < f.width; ++x)
      out[static_cast<std::size_t>(x) * static_cast<std::size_t>(f.height) + static_cast<std::size_t>(y)] = f.at(x, y);
  return out;
}

std::string Signed(int v) { return (v > 0 ? "+" : "") + std::to_string(v); }

}  // namespace

NightFrameResult StackNightFrames(std::vector<NightFrame> frames, const NightExtraction& extraction,
                                  bool alongColumns) {
  if (frames.size() < 2)
    return NightFrameResult::Refused(NightError::Stack, "A stack needs at least two frames of the object.");
  const FitsFrame& first = frames.front().frame;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    const FitsFrame& f = frames[i].frame;
    if (f.width != first.width || f.height != first.height || f.values.size() != first.values.size())
      return NightFrameResult::Refused(
          NightError::Stack, NameOf(frames[i], i) + " is " + std::to_string(f.width) + " x " +
                                 std::to_string(f.height) + "; " + NameOf(frames[0], 0) + " is " +
                                 std::to_string(first.width) + " x " + std::to_string(first.height) +
                                 ". Frames of one size only can be stacked.");
  }
  if (first.values.empty() || first.values.size() != static_cast<std::size_t>(first.width) * static_cast<std::size_t>(first.height))
    return NightFrameResult::Refused(NightError::Stack, NameOf(frames[0], 0) + " holds no image.");

  // Each frame's trace centre at the middle column, and its shift onto the first's.
  std::vector<Frame> shifted;
  std::vector<int> shifts;
  double centre0 = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const DispersedFrame d = Dispersed(frames[i].frame, alongColumns);
    const TraceResult trace = FindTrace(d.View(extraction));
    if (!trace.ok())
      return NightFrameResult::Refused(NightError::Trace, NameOf(frames[i], i) +
                                                              ": no trace of the object was found to stack it by. " +
                                                              trace.message);
    const double centre = trace.Centre(0.5 * (d.width - 1));
    if (i == 0) centre0 = centre;
    const int shift = static_cast<int>(std::lround(centre0 - centre));
    if (std::abs(shift) >= d.height)
      return NightFrameResult::Refused(NightError::Stack, NameOf(frames[i], i) +
                                                              "'s trace lies off the first frame's slit.");
    shifts.push_back(shift);
    shifted.push_back(Shifted(d, shift));
  }

  CombineOptions options;
  options.method = extraction.stack == CombineChoice::Median ? CombineMethod::Median : CombineMethod::SigmaClippedMean;
  options.clip.low = options.clip.high = 3;
  const CombineResult combined = CombineFrames(std::span<const Frame>(shifted), options);
  if (!combined.ok()) return NightFrameResult::Refused(NightError::Stack, combined.message);

  std::optional<double> total = 0.0;
  std::string names, moves;
  int rays = 0;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::optional<double>& e = frames[i].frame.facts.exposure;
    total = total && e ? std::optional<double>(*total + *e) : std::nullopt;
    names += (i == 0 ? "" : ", ") + NameOf(frames[i], i);
    moves += (i == 0 ? "" : ", ") + Signed(shifts[i]);
    rays += frames[i].cosmicRays;
  }
  NightFrame stack;
  stack.frame = std::move(frames.front().frame);
  stack.frame.values = Undispersed(combined.frame, alongColumns);
  stack.frame.facts.exposure = total;
  stack.stacked = static_cast<int>(frames.size());
  stack.cosmicRays = rays;
  std::string line = "stack of " + std::to_string(frames.size()) + " frames: " + names;
  if (total) line += ", total exposure " + ShortNumberText(*total) + " s";
  stack.provenance.push_back(line);
  // The steps each frame went through, as the first one did them (its name aside).
  const std::vector<std::string>& steps = frames.front().provenance;
  for (std::size_t k = 1; k < steps.size(); ++k)
    if (!steps[k].starts_with("cosmic rays:")) stack.provenance.push_back(steps[k]);
  if (rays > 0) stack.provenance.push_back("cosmic rays: " + std::to_string(rays) + " pixels in all frames");
  stack.provenance.push_back("shifted across the slit by " + moves + " px");
  stack.provenance.push_back(extraction.stack == CombineChoice::Median
                                 ? std::string("combined by the median")
                                 : "combined by the mean clipped at 3 sigma, " + std::to_string(combined.rejected) +
                                       " values rejected");
  return ExtractNight(std::move(stack), "the stack", extraction, alongColumns);
}

}  // namespace lxr4
