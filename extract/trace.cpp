// Finding the trace block by block and fitting its polynomial.
#include "extract/trace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <utility>

#include "extract/fit_tools.h"

namespace lxr4 {
namespace {

struct BlockPeak {
  double x = 0;       // the block's middle column
  double centre = 0;  // the fitted centre across the slit
  double sigma = 0;
};

// The profile across the slit of columns x0..x1-1: a median per row, so a
// cosmic ray in one column does not make a peak.
std::vector<double> BlockProfile(const FrameView& frame, int x0, int x1) {
  std::vector<double> profile(static_cast<std::size_t>(frame.height));
  std::vector<double> row(static_cast<std::size_t>(x1 - x0));
  for (int y = 0; y < frame.height; ++y) {
    for (int x = x0; x < x1; ++x) row[static_cast<std::size_t>(x - x0)] = frame.at(x, y);
    profile[static_cast<std::size_t>(y)] = MedianInPlace(row);
  }
  return profile;
}

std::optional<BlockPeak> FindBlockPeak(const FrameView& frame, int x0, int x1, double minPeakSigma) {
  std::vector<double> profile = BlockProfile(frame, x0, x1);
  std::vector<double> copy = profile;
  const double background = MedianInPlace(copy);
  for (double& v : profile) v -= background;
  // The noise from the differences of neighbours: blind to the peak's slope
  // and to a sky that varies slowly across the slit.
  std::vector<double> steps;
  for (std::size_t i = 1; i < profile.size(); ++i) steps.push_back(profile[i] - profile[i - 1]);
  const double noise = RobustSigma(steps) / std::sqrt(2.0);
  const auto top = std::max_element(profile.begin(), profile.end());
  const auto peak = static_cast<int>(top - profile.begin());
  if (!(*top > minPeakSigma * noise) || !(*top > 0)) return std::nullopt;

  // Half-maximum width for the start and the window of the fit.
  int left = peak, right = peak;
  while (left > 0 && profile[static_cast<std::size_t>(left)] > *top / 2) --left;
  while (right < frame.height - 1 && profile[static_cast<std::size_t>(right)] > *top / 2) ++right;
  const double sigmaStart = std::max(0.5, (right - left) / 2.3548);
  const int half = std::max(5, static_cast<int>(std::ceil(4 * sigmaStart)));
  const int y0 = std::max(0, peak - half), y1 = std::min(frame.height - 1, peak + half);
  const std::span<const double> window(profile.data() + y0, static_cast<std::size_t>(y1 - y0 + 1));
  const auto fit = FitGaussian(window, {*top, static_cast<double>(peak - y0), sigmaStart, 0.0});
  if (!fit || std::abs(fit->centre - (peak - y0)) > 2 * fit->sigma + 1) return std::nullopt;
  return BlockPeak{0.5 * (x0 + x1 - 1), y0 + fit->centre, fit->sigma};
}

}  // namespace

double TraceValue::Centre(double x) const { return EvaluatePolynomial(coefficients, (x - xMid) / xHalf); }

TraceValue TraceFromPolynomial(std::vector<double> c, double sigma) {
  TraceValue t;
  t.coefficients = std::move(c);
  t.sigma = sigma;
  return t;
}

TraceResult FindTrace(const FrameView& frame, const TraceOptions& options) {
  if (!FrameIsUsable(frame))
    return TraceResult::Refused(TraceError::BadFrame,
                                "The frame is empty or holds a value that is not a number.");
  if (options.order < 0 || options.order > 3 || options.blockColumns < 1 || !(options.clipSigma > 0)) {
    return TraceResult::Refused(TraceError::BadOptions,
                                "The trace's order must be 0 to 3 and a block at least one column.");
  }
  const int block = std::min(options.blockColumns, frame.width);
  const int blocks = frame.width / block;
  std::vector<BlockPeak> peaks;
  for (int b = 0; b < blocks; ++b) {
    const int x0 = b * block;
    const int x1 = (b == blocks - 1) ? frame.width : x0 + block;
    if (auto p = FindBlockPeak(frame, x0, x1, options.minPeakSigma)) peaks.push_back(*p);
  }
  const int found = static_cast<int>(peaks.size());
  if (found * 2 < blocks || found < options.order + 2) {
    return TraceResult::Refused(TraceError::NoTrace, "No trace stands out: " + std::to_string(found) +
                                                         " of " + std::to_string(blocks) +
                                                         " blocks of columns show a peak.");
  }

  TraceValue trace;
  trace.xMid = 0.5 * (frame.width - 1);
  trace.xHalf = std::max(0.5 * (frame.width - 1), 1.0);
  std::vector<double> t, centre, weight(peaks.size(), 1.0);
  for (const BlockPeak& p : peaks) {
    t.push_back((p.x - trace.xMid) / trace.xHalf);
    centre.push_back(p.centre);
  }
  std::optional<std::vector<double>> c;
  for (int pass = 0; pass < 20; ++pass) {
    c = FitPolynomial(t, centre, weight, options.order);
    if (!c) break;
    std::vector<double> residuals;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (weight[i] > 0) residuals.push_back(centre[i] - EvaluatePolynomial(*c, t[i]));
    }
    // A floor on the scatter: blocks within a few hundredths of a pixel of the
    // curve are all kept, however tightly the others agree.
    const double limit = options.clipSigma * std::max(RobustSigma(residuals), 0.02);
    bool changed = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
      const bool keep = std::abs(centre[i] - EvaluatePolynomial(*c, t[i])) <= limit;
      if (keep != (weight[i] > 0)) {
        weight[i] = keep ? 1.0 : 0.0;
        changed = true;
      }
    }
    if (!changed) break;
  }
  const auto kept = static_cast<int>(std::count(weight.begin(), weight.end(), 1.0));
  if (!c || kept * 2 < blocks || kept < options.order + 2) {
    return TraceResult::Refused(TraceError::NoTrace, "No trace stands out: the peaks of " +
                                                         std::to_string(found) +
                                                         " blocks of columns do not follow one curve.");
  }
  trace.coefficients = *c;
  std::vector<double> sigmas;
  double sum2 = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (!(weight[i] > 0)) continue;
    sigmas.push_back(peaks[i].sigma);
    const double r = centre[i] - EvaluatePolynomial(*c, t[i]);
    sum2 += r * r;
  }
  trace.sigma = MedianInPlace(sigmas);
  trace.rms = std::sqrt(sum2 / kept);
  trace.blocksKept = kept;
  trace.blocksDropped = found - kept;
  trace.blocksWithoutPeak = blocks - found;
  TraceResult result;
  static_cast<TraceValue&>(result) = std::move(trace);
  return result;
}

}  // namespace lxr4
