// The pixel-by-pixel combination: each thread takes a band of rows, turns a
// row of every frame into that row's values pixel by pixel (prepared on the
// way), and combines each pixel's values in place.
#include "reduce/combine.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace lxr4 {
namespace {

std::string MethodText(const CombineOptions& o) {
  switch (o.method) {
    case CombineMethod::Median:
      return "median";
    case CombineMethod::Mean:
      return "mean";
    case CombineMethod::SigmaClippedMean:
      break;
  }
  const auto number = [](double v) {
    std::string t = std::to_string(v);
    t.erase(t.find_last_not_of('0') + 1);
    if (t.back() == '.') t.pop_back();
    return t;
  };
  return "sigma-clipped mean (" + number(o.clip.low) + " low, " + number(o.clip.high) + " high about the " +
         (o.clip.centre == ClipCentre::Median ? "median" : "mean") + ", " +
         (o.clip.deviation == ClipDeviation::StdDev ? "standard deviation" : "MAD") + ", " +
         std::to_string(o.clip.maxIterations) + (o.clip.maxIterations == 1 ? " pass)" : " passes)");
}

double MeanOf(std::span<const double> v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
}

// The sigma-clipped mean of `v` (reordered); `work` holds at least v.size().
// Each pass finds the bounds from the values the last one kept; what is kept
// at the end is every value within the last bounds, as astropy's sigma_clip
// (and so ccdproc) decides it: a value an earlier pass rejected comes back
// when the bounds widen.
double ClippedMean(std::span<double> v, const SigmaClip& clip, std::span<double> work, long long& rejected) {
  std::size_t kept = v.size();
  double lo = 0.0, hi = 0.0;
  const auto inside = [&](double x) { return x >= lo && x <= hi; };
  for (int pass = 0; pass < clip.maxIterations; ++pass) {
    const std::span<double> live = v.first(kept);
    std::copy(live.begin(), live.end(), work.begin());
    const double centre = clip.centre == ClipCentre::Median ? MedianOf(work.first(kept)) : MeanOf(live);
    double sigma = 0.0;
    if (clip.deviation == ClipDeviation::StdDev) {
      const double mean = MeanOf(live);
      double sum = 0.0;
      for (double x : live) sum += (x - mean) * (x - mean);
      sigma = std::sqrt(sum / static_cast<double>(kept));
    } else {
      const double median = clip.centre == ClipCentre::Median ? centre : MedianOf(work.first(kept));
      for (std::size_t i = 0; i < kept; ++i) work[i] = std::abs(live[i] - median);
      sigma = 1.482602218505602 * MedianOf(work.first(kept));  // 1 / Phi^-1(3/4)
    }
    lo = centre - clip.low * sigma;
    hi = centre + clip.high * sigma;
    // The survivors go to the front; their order does not matter.
    const auto now = static_cast<std::size_t>(std::partition(live.begin(), live.end(), inside) - live.begin());
    // The median is within its own bounds, so some value always survives.
    if (now == kept || now == 0) break;
    kept = now;
  }
  kept = static_cast<std::size_t>(std::partition(v.begin(), v.end(), inside) - v.begin());
  rejected += static_cast<long long>(v.size() - kept);
  if (kept == 0) {  // cannot happen with thresholds above 0, but a mean of nothing must never be a NaN
    std::copy(v.begin(), v.end(), work.begin());
    return MedianOf(work.first(v.size()));
  }
  return MeanOf(v.first(kept));
}

struct Job {
  std::span<const Frame* const> frames;
  const CombineOptions& options;
  const Preparation& prep;
  Frame& out;
};

// Combines rows [y0, y1); gives the values rejected.
long long CombineRows(const Job& job, int y0, int y1) {
  const std::size_t n = job.frames.size();
  const int width = job.out.width;
  std::vector<double> row(static_cast<std::size_t>(width) * n);
  std::vector<double> work(n);
  long long rejected = 0;
  for (int y = y0; y < y1; ++y) {
    const std::size_t start = job.out.index(0, y);
    for (std::size_t i = 0; i < n; ++i) {
      const float* in = job.frames[i]->values.data() + start;
      double level = 0.0;
      if (!job.prep.rowLevels.empty() && !job.prep.rowLevels[i].empty()) {
        const std::vector<float>& levels = job.prep.rowLevels[i];
        level = levels.size() == 1 ? levels[0] : levels[static_cast<std::size_t>(y)];
      }
      const double scale = job.prep.scale.empty() ? 1.0 : job.prep.scale[i];
      const float* offset = job.prep.offset ? job.prep.offset->values.data() + start : nullptr;
      const float* rate = job.prep.rate ? job.prep.rate->values.data() + start : nullptr;
      const double seconds = rate ? job.prep.seconds[i] : 0.0;
      for (int x = 0; x < width; ++x) {
        const auto xs = static_cast<std::size_t>(x);
        double v = static_cast<double>(in[xs]) - level;
        if (offset) v -= static_cast<double>(offset[xs]);
        if (rate) v -= static_cast<double>(rate[xs]) * seconds;
        row[xs * n + i] = v * scale;
      }
    }
    float* out = job.out.values.data() + start;
    for (int x = 0; x < width; ++x) {
      const std::span<double> v(row.data() + static_cast<std::size_t>(x) * n, n);
      double c = 0.0;
      switch (job.options.method) {
        case CombineMethod::Median:
          c = MedianOf(v);
          break;
        case CombineMethod::Mean:
          c = MeanOf(v);
          break;
        case CombineMethod::SigmaClippedMean:
          c = ClippedMean(v, job.options.clip, work, rejected);
          break;
      }
      out[x] = static_cast<float>(c);
    }
  }
  return rejected;
}

bool FitsShape(const Frame* f, const Frame& like) { return !f || (f->width == like.width && f->height == like.height); }

}  // namespace

double MedianOf(std::span<double> values) {
  const std::size_t n = values.size();
  if (n == 0) return 0.0;
  const auto mid = values.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(values.begin(), mid, values.end());
  if (n % 2 == 1) return *mid;
  const double below = *std::max_element(values.begin(), mid);
  return (below + *mid) / 2.0;
}

int ThreadsFor(int requested, int rows) {
  int t = requested > 0 ? requested : static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(t, 1, std::max(rows, 1));
}

CombineResult CombineFrames(std::span<const Frame* const> frames, const CombineOptions& options,
                            const Preparation& prep) {
  if (frames.empty()) return CombineResult::Refused(CombineError::NoFrames, "There are no frames to combine.");
  const Frame& first = *frames[0];
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const Frame& f = *frames[i];
    const std::string which = "frame " + std::to_string(i + 1);
    if (f.empty()) return CombineResult::Refused(CombineError::EmptyFrame, "F" + which.substr(1) + " holds no image.");
    if (f.width != first.width || f.height != first.height)
      return CombineResult::Refused(CombineError::SizeMismatch, "The frames differ in size: frame 1 is " +
                                                                    FrameShapeText(first) + "; " + which +
                                                                    " is " + FrameShapeText(f) + ".");
    if (f.binX != first.binX || f.binY != first.binY)
      return CombineResult::Refused(CombineError::BinningMismatch, "The frames differ in binning: frame 1 is " +
                                                                       FrameShapeText(first) + "; " + which +
                                                                       " is " + FrameShapeText(f) + ".");
  }
  if (options.method == CombineMethod::SigmaClippedMean &&
      !(options.clip.low > 0.0 && options.clip.high > 0.0 && options.clip.maxIterations >= 1))
    return CombineResult::Refused(CombineError::BadClip,
                                  "The sigma clip needs thresholds above 0 and at least one pass.");
  const std::size_t n = frames.size();
  const bool levelsFit = prep.rowLevels.empty() ||
                         (prep.rowLevels.size() == n && std::all_of(prep.rowLevels.begin(), prep.rowLevels.end(),
                                                                    [&](const std::vector<float>& l) {
                                                                      return l.size() <= 1 ||
                                                                             l.size() == static_cast<std::size_t>(
                                                                                             first.height);
                                                                    }));
  if (!levelsFit || (prep.rate && prep.seconds.size() != n) || (!prep.scale.empty() && prep.scale.size() != n))
    return CombineResult::Refused(CombineError::BadPreparation, "The corrections do not match the frames.");
  if ((prep.offset && prep.offset->empty()) || (prep.rate && prep.rate->empty()) || !FitsShape(prep.offset, first) ||
      !FitsShape(prep.rate, first))
    return CombineResult::Refused(CombineError::SizeMismatch,
                                  "The frames are " + FrameShapeText(first) + "; a master to subtract is not.");

  CombineResult c;
  c.frame = FrameLike(first);
  c.frame.provenance.push_back(MethodText(options) + " of " + std::to_string(n) + " frames");
  const Job job{frames, options, prep, c.frame};
  const int threads = ThreadsFor(options.threads, first.height);
  std::vector<long long> rejected(static_cast<std::size_t>(threads), 0);
  const auto band = [&](int t) {
    const int y0 = static_cast<int>(static_cast<long long>(first.height) * t / threads);
    const int y1 = static_cast<int>(static_cast<long long>(first.height) * (t + 1) / threads);
    rejected[static_cast<std::size_t>(t)] = CombineRows(job, y0, y1);
  };
  if (threads == 1) {
    band(0);
  } else {
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(band, t);
    band(0);
    for (std::thread& th : pool) th.join();
  }
  for (long long r : rejected) c.rejected += r;
  return c;
}

CombineResult CombineFrames(std::span<const Frame> frames, const CombineOptions& options, const Preparation& prep) {
  std::vector<const Frame*> pointers;
  pointers.reserve(frames.size());
  for (const Frame& f : frames) pointers.push_back(&f);
  return CombineFrames(std::span<const Frame* const>(pointers), options, prep);
}

}  // namespace lxr4
