// The pixel-by-pixel combination: each thread takes a band of rows, turns a
// row of every frame into that row's values pixel by pixel (prepared on the
// way), and combines each pixel's values in place.
#include "reduce/combine.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
  const auto number = ShortNumberText;
  return "sigma-clipped mean (" + number(o.clip.low) + " low, " + number(o.clip.high) + " high about the " +
         (o.clip.centre == ClipCentre::Median ? "median" : "mean") + ", " +
         (o.clip.deviation == ClipDeviation::StdDev ? "standard deviation" : "MAD") + ", " +
         std::to_string(o.clip.maxIterations) + (o.clip.maxIterations == 1 ? " pass)" : " passes)");
}

// Pixels of a row taken together: each frame's values of a tile are one run
// of floats, so a step of the sorting network is a min and a max over the
// run, four values at a time, with no branch to mispredict.
constexpr int kTile = 256;

// Batcher's odd-even merge sort for n wires: the network for the next power of
// two without the comparators that reach past n (those wires would hold
// +infinity, which no comparator moves).
std::vector<std::pair<std::size_t, std::size_t>> SortingNetwork(std::size_t n) {
  std::vector<std::pair<std::size_t, std::size_t>> steps;
  for (std::size_t p = 1; p < n; p <<= 1)
    for (std::size_t k = p; k >= 1; k >>= 1)
      for (std::size_t j = k % p; j + k < n; j += 2 * k)
        for (std::size_t i = 0; i < std::min(k, n - j - k); ++i)
          if ((i + j) / (2 * p) == (i + j + k) / (2 * p)) steps.emplace_back(i + j, i + j + k);
  return steps;
}

// One step of the network over a tile: the smaller values to `a`, the larger to `b`.
void CompareExchange(float* a, float* b) {
#if defined(__SSE2__)
  for (std::size_t x = 0; x < kTile; x += 4) {
    const __m128 va = _mm_loadu_ps(a + x);
    const __m128 vb = _mm_loadu_ps(b + x);
    _mm_storeu_ps(a + x, _mm_min_ps(va, vb));
    _mm_storeu_ps(b + x, _mm_max_ps(va, vb));
  }
#else
  for (std::size_t x = 0; x < kTile; ++x) {
    const float va = a[x], vb = b[x];
    a[x] = std::min(va, vb);
    b[x] = std::max(va, vb);
  }
#endif
}

double MeanOf(std::span<const double> v) {
  double sum = 0.0;
  for (double x : v) sum += x;
  return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
}

double MedianOfSorted(std::span<const double> v) {
  const std::size_t k = v.size();
  if (k == 0) return 0.0;
  return k % 2 == 1 ? v[k / 2] : (v[k / 2 - 1] + v[k / 2]) / 2.0;
}

// The sigma-clipped mean of `v`, sorted; `work` holds at least v.size().
// Each pass finds the bounds from the values the last one kept (a run of the
// sorted values); what is kept at the end is every value within the last
// bounds, as astropy's sigma_clip (and so ccdproc) decides it: a value an
// earlier pass rejected comes back when the bounds widen.
double ClippedMean(std::span<const double> v, const SigmaClip& clip, std::span<double> work, long long& rejected) {
  std::size_t b = 0, e = v.size();
  double lo = 0.0, hi = 0.0;
  for (int pass = 0; pass < clip.maxIterations; ++pass) {
    const std::span<const double> live = v.subspan(b, e - b);
    const double mean = MeanOf(live);
    const double median = MedianOfSorted(live);
    const double centre = clip.centre == ClipCentre::Median ? median : mean;
    double sigma = 0.0;
    if (clip.deviation == ClipDeviation::StdDev) {
      double sum = 0.0;
      for (double x : live) sum += (x - mean) * (x - mean);
      sigma = std::sqrt(sum / static_cast<double>(live.size()));
    } else {
      for (std::size_t i = 0; i < live.size(); ++i) work[i] = std::abs(live[i] - median);
      sigma = 1.482602218505602 * MedianOf(work.first(live.size()));  // 1 / Phi^-1(3/4)
    }
    lo = centre - clip.low * sigma;
    hi = centre + clip.high * sigma;
    std::size_t nb = b, ne = e;
    while (nb < ne && !(v[nb] >= lo)) ++nb;
    while (ne > nb && !(v[ne - 1] <= hi)) --ne;
    // The median lies within its own bounds, so some value always stays.
    if ((nb == b && ne == e) || nb == ne) break;
    b = nb;
    e = ne;
  }
  if (clip.maxIterations >= 1) {
    b = static_cast<std::size_t>(std::lower_bound(v.begin(), v.end(), lo) - v.begin());
    e = static_cast<std::size_t>(std::upper_bound(v.begin(), v.end(), hi) - v.begin());
  }
  if (e <= b) return MedianOfSorted(v);  // cannot happen with thresholds above 0; never a mean of nothing
  rejected += static_cast<long long>(v.size() - (e - b));
  return MeanOf(v.subspan(b, e - b));
}

struct Job {
  std::span<const Frame* const> frames;
  const CombineOptions& options;
  const Preparation& prep;
  const std::vector<std::pair<std::size_t, std::size_t>>& network;
  Frame& out;
};

// Frame i's prepared values of row y, columns x0 .. x0 + count - 1, into `to`.
void PrepareRun(const Job& job, std::size_t i, int y, int x0, int count, float* to) {
  const std::size_t start = job.out.index(x0, y);
  const float* in = job.frames[i]->values.data() + start;
  const Preparation& p = job.prep;
  double level = 0.0;
  if (!p.rowLevels.empty() && !p.rowLevels[i].empty())
    level = p.rowLevels[i].size() == 1 ? p.rowLevels[i][0] : p.rowLevels[i][static_cast<std::size_t>(y)];
  if (level == 0.0 && !p.offset && !p.rate && p.scale.empty()) {
    std::copy(in, in + count, to);
    return;
  }
  const double scale = p.scale.empty() ? 1.0 : p.scale[i];
  const float* offset = p.offset ? p.offset->values.data() + start : nullptr;
  const float* rate = p.rate ? p.rate->values.data() + start : nullptr;
  const double seconds = rate ? p.seconds[i] : 0.0;
  for (int x = 0; x < count; ++x) {
    const auto xs = static_cast<std::size_t>(x);
    double v = static_cast<double>(in[xs]) - level;
    if (offset) v -= static_cast<double>(offset[xs]);
    if (rate) v -= static_cast<double>(rate[xs]) * seconds;
    to[xs] = static_cast<float>(v * scale);
  }
}

// Combines rows [y0, y1); gives the values rejected.
long long CombineRows(const Job& job, int y0, int y1) {
  const std::size_t n = job.frames.size();
  const int width = job.out.width;
  std::vector<float> runs(n * kTile, 0.0F);  // frame i's run at i * kTile
  std::vector<double> pixel(n), work(n);
  long long rejected = 0;
  const CombineMethod method = job.options.method;
  for (int y = y0; y < y1; ++y) {
    for (int x0 = 0; x0 < width; x0 += kTile) {
      const int count = std::min(kTile, width - x0);
      for (std::size_t i = 0; i < n; ++i) PrepareRun(job, i, y, x0, count, runs.data() + i * kTile);
      float* out = job.out.values.data() + job.out.index(x0, y);
      if (method == CombineMethod::Mean) {
        for (int x = 0; x < count; ++x) {
          double sum = 0.0;
          for (std::size_t i = 0; i < n; ++i) sum += static_cast<double>(runs[i * kTile + static_cast<std::size_t>(x)]);
          out[x] = static_cast<float>(sum / static_cast<double>(n));
        }
        continue;
      }
      for (const auto& [a, b] : job.network) CompareExchange(runs.data() + a * kTile, runs.data() + b * kTile);
      for (int x = 0; x < count; ++x) {
        const auto xs = static_cast<std::size_t>(x);
        if (method == CombineMethod::Median) {
          const double upper = static_cast<double>(runs[(n / 2) * kTile + xs]);
          out[x] = n % 2 == 1 ? static_cast<float>(upper)
                              : static_cast<float>((static_cast<double>(runs[(n / 2 - 1) * kTile + xs]) + upper) / 2.0);
          continue;
        }
        for (std::size_t i = 0; i < n; ++i) pixel[i] = static_cast<double>(runs[i * kTile + xs]);
        out[x] = static_cast<float>(ClippedMean(pixel, job.options.clip, work, rejected));
      }
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
  const std::vector<std::pair<std::size_t, std::size_t>> network = SortingNetwork(frames.size());
  const Job job{frames, options, prep, network, c.frame};
  const int threads = ThreadsFor(options.threads, first.height);
  std::vector<long long> rejected(static_cast<std::size_t>(threads), 0);
  const auto band = [&](int t) {
    const int y0 = static_cast<int>(static_cast<long long>(first.height) * t / threads);
    const int y1 = static_cast<int>(static_cast<long long>(first.height) * (t + 1) / threads);
    rejected[static_cast<std::size_t>(t)] = CombineRows(job, y0, y1);
  };
  // A band whose thread cannot be started is done on this one: the same values, later.
  std::vector<std::thread> pool;
  std::vector<int> here{0};
  for (int t = 1; t < threads; ++t) {
    try {
      pool.emplace_back(band, t);
    } catch (const std::system_error&) {
      here.push_back(t);
    }
  }
  for (int t : here) band(t);
  for (std::thread& th : pool) th.join();
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
