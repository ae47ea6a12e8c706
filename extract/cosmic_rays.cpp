// The Laplacian cosmic-ray detector and the cleaning of what it flags.
#include "extract/cosmic_rays.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace lxr4 {
namespace {

struct Plane {
  int w = 0, h = 0;
  std::vector<float> v;

  Plane(int width, int height)
      : w(width), h(height), v(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}
  [[nodiscard]] float& at(int x, int y) {
    return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
  }
  [[nodiscard]] float at(int x, int y) const {
    return v[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
  }
};

// An index reflected about the edge pixels' centres (…, 2, 1 | 0, 1, 2, …).
int Reflect(int i, int n) {
  if (i < 0) return -i;
  if (i >= n) return 2 * (n - 1) - i;
  return i;
}

// The median of the size x size square about (x, y); `window` is scratch.
float MedianAt(const Plane& in, int x, int y, int size, std::vector<float>& window) {
  const int r = size / 2;
  window.resize(static_cast<std::size_t>(size * size));
  auto it = window.begin();
  if (x >= r && y >= r && x < in.w - r && y < in.h - r) {  // inside: no reflections
    for (int yy = y - r; yy <= y + r; ++yy) {
      const float* row = &in.v[static_cast<std::size_t>(yy) * static_cast<std::size_t>(in.w) +
                               static_cast<std::size_t>(x - r)];
      it = std::copy(row, row + size, it);
    }
  } else {
    for (int dy = -r; dy <= r; ++dy) {
      const int yy = Reflect(y + dy, in.h);
      for (int dx = -r; dx <= r; ++dx) *it++ = in.at(Reflect(x + dx, in.w), yy);
    }
  }
  const auto mid = window.begin() + size * size / 2;
  std::nth_element(window.begin(), mid, window.end());
  return *mid;
}

Plane Median(const Plane& in, int size) {
  Plane out(in.w, in.h);
  std::vector<float> window;
  for (int y = 0; y < in.h; ++y) {
    for (int x = 0; x < in.w; ++x) out.at(x, y) = MedianAt(in, x, y, size, window);
  }
  return out;
}

// Recomputes `median` (of `in`, size x size) about the pixels of `changed`:
// a pass changes only the pixels it flags, so the rest of it stands.
void Refresh(const Plane& in, const std::vector<std::size_t>& changed, int size, Plane& median) {
  std::vector<std::uint8_t> done(in.v.size(), 0);
  std::vector<float> window;
  const int r = size / 2;
  for (const std::size_t i : changed) {
    const int x = static_cast<int>(i % static_cast<std::size_t>(in.w)),
              y = static_cast<int>(i / static_cast<std::size_t>(in.w));
    // Reflection at the edges reaches r pixels further in.
    for (int yy = std::max(0, y - 2 * r); yy <= std::min(in.h - 1, y + 2 * r); ++yy) {
      for (int xx = std::max(0, x - 2 * r); xx <= std::min(in.w - 1, x + 2 * r); ++xx) {
        const auto j =
            static_cast<std::size_t>(yy) * static_cast<std::size_t>(in.w) + static_cast<std::size_t>(xx);
        if (done[j]) continue;
        done[j] = 1;
        median.v[j] = MedianAt(in, xx, yy, size, window);
      }
    }
  }
}

// The clipped Laplacian of the frame subsampled 2 x 2, rebinned: each of a
// pixel's four subpixels sees the pixel itself on two sides and a neighbour on
// the other two (the pixel again beyond the frame's edge).
Plane LaplacianPlus(const Plane& in) {
  Plane out(in.w, in.h);
  for (int y = 0; y < in.h; ++y) {
    for (int x = 0; x < in.w; ++x) {
      const float v = in.at(x, y);
      const float l = in.at(std::max(x - 1, 0), y), r = in.at(std::min(x + 1, in.w - 1), y);
      const float u = in.at(x, std::max(y - 1, 0)), d = in.at(x, std::min(y + 1, in.h - 1));
      out.at(x, y) = 0.25f * (std::max(0.0f, 2 * v - l - u) + std::max(0.0f, 2 * v - r - u) +
                              std::max(0.0f, 2 * v - l - d) + std::max(0.0f, 2 * v - r - d));
    }
  }
  return out;
}

// Pixels set in `in` or next to one (the 3 x 3 around), and with sp above `limit`.
std::vector<std::uint8_t> Grow(const std::vector<std::uint8_t>& in, const Plane& sp, float limit) {
  std::vector<std::uint8_t> out(in.size(), 0);
  for (int y = 0; y < sp.h; ++y) {
    for (int x = 0; x < sp.w; ++x) {
      if (!(sp.at(x, y) > limit)) continue;
      bool near = false;
      for (int yy = std::max(0, y - 1); yy <= std::min(sp.h - 1, y + 1) && !near; ++yy) {
        for (int xx = std::max(0, x - 1); xx <= std::min(sp.w - 1, x + 1) && !near; ++xx) {
          near = in[static_cast<std::size_t>(yy) * static_cast<std::size_t>(sp.w) +
                    static_cast<std::size_t>(xx)] != 0;
        }
      }
      out[static_cast<std::size_t>(y) * static_cast<std::size_t>(sp.w) + static_cast<std::size_t>(x)] =
          near ? 1 : 0;
    }
  }
  return out;
}

// Every flagged pixel of `original` becomes the median of the unflagged ones
// of its 5 x 5, or of a wider square where the 5 x 5 holds none.
void Clean(const Plane& original, const std::vector<std::uint8_t>& mask, Plane& cleaned) {
  std::vector<float> good;
  const auto index = [&](int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(original.w) + static_cast<std::size_t>(x);
  };
  for (int y = 0; y < original.h; ++y) {
    for (int x = 0; x < original.w; ++x) {
      if (!mask[index(x, y)]) continue;
      good.clear();
      for (int r = 2; r <= 8 && good.empty(); r += 2) {
        for (int yy = std::max(0, y - r); yy <= std::min(original.h - 1, y + r); ++yy) {
          for (int xx = std::max(0, x - r); xx <= std::min(original.w - 1, x + r); ++xx) {
            if (!mask[index(xx, yy)]) good.push_back(original.v[index(xx, yy)]);
          }
        }
      }
      if (good.empty()) continue;  // keeps what the last pass gave it
      const auto mid = good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2);
      std::nth_element(good.begin(), mid, good.end());
      float m = *mid;
      if (good.size() % 2 == 0) m = 0.5f * (m + *std::max_element(good.begin(), mid));
      cleaned.v[index(x, y)] = m;
    }
  }
}

}  // namespace

CosmicRayResult FindCosmicRays(const FrameView& frame, const CosmicRayOptions& o) {
  if (!FrameIsUsable(frame)) {
    return CosmicRayResult::Refused(CosmicRayError::BadFrame,
                                    "The frame is empty or holds a value that is not a number.");
  }
  if (!(o.sigClip > 0) || !(o.sigFrac > 0) || !(o.sigFrac <= 1) || !(o.objLim > 0) || o.iterations < 1 ||
      o.iterations > 10 || !std::isfinite(o.sigClip + o.objLim)) {
    return CosmicRayResult::Refused(
        CosmicRayError::BadOptions,
        "The cosmic-ray limits must be above 0 (the neighbours' fraction at most 1) "
        "and the passes 1 to 10.");
  }
  if (frame.width < 7 || frame.height < 7) {
    return CosmicRayResult::Refused(CosmicRayError::FrameTooSmall,
                                    "The frame is too small for cosmic rays: under 7 pixels.");
  }
  Plane original(frame.width, frame.height);
  std::copy(frame.values.begin(), frame.values.end(), original.v.begin());
  Plane variance(frame.width, frame.height);
  if (!frame.variance.empty()) std::copy(frame.variance.begin(), frame.variance.end(), variance.v.begin());
  Plane cleaned = original;
  std::vector<std::uint8_t> mask(original.v.size(), 0);
  const double rn = frame.readNoise / frame.gain;
  const auto limit = static_cast<float>(o.sigClip);
  const auto lowLimit = static_cast<float>(o.sigClip * o.sigFrac);

  const bool model = frame.variance.empty();
  Plane m5 = Median(model ? cleaned : variance, 5);  // of the values or of the given variance
  Plane m3 = Median(cleaned, 3);
  Plane noise(frame.width, frame.height);
  CosmicRayResult result;
  for (int pass = 0; pass < o.iterations; ++pass) {
    result.iterationsRun = pass + 1;
    for (std::size_t i = 0; i < noise.v.size(); ++i) {
      const double m = model ? std::max(static_cast<double>(m5.v[i]), 1e-5) / frame.gain + rn * rn
                             : std::max(static_cast<double>(m5.v[i]), 1e-10);
      noise.v[i] = static_cast<float>(std::sqrt(m));
    }
    Plane sp = LaplacianPlus(cleaned);
    for (std::size_t i = 0; i < sp.v.size(); ++i) sp.v[i] /= 2 * noise.v[i];  // 2: the subsampling
    // Less the large structure (its 5 x 5 median, never negative), sp can pass
    // a limit only where it already does: elsewhere the median is not needed.
    Plane fine = sp;
    std::vector<float> window;
    for (int y = 0; y < sp.h; ++y) {
      for (int x = 0; x < sp.w; ++x) {
        if (sp.at(x, y) > lowLimit) fine.at(x, y) = sp.at(x, y) - MedianAt(sp, x, y, 5, window);
      }
    }
    sp = std::move(fine);

    // Fine structure, 3 x 3 median less its 7 x 7 median, only where sp passes.
    std::vector<std::uint8_t> first(mask.size(), 0);
    for (int y = 0; y < sp.h; ++y) {
      for (int x = 0; x < sp.w; ++x) {
        if (!(sp.at(x, y) > limit)) continue;
        const float structure =
            std::max((m3.at(x, y) - MedianAt(m3, x, y, 7, window)) / noise.at(x, y), 0.01f);
        first[static_cast<std::size_t>(y) * static_cast<std::size_t>(sp.w) + static_cast<std::size_t>(x)] =
            sp.at(x, y) / structure > o.objLim ? 1 : 0;
      }
    }
    const auto grown = Grow(Grow(first, sp, limit), sp, lowLimit);
    int found = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
      if (grown[i] && !mask[i]) {
        mask[i] = 1;
        ++found;
      }
    }
    if (found == 0) break;
    result.flagged += found;
    const std::vector<float> before = cleaned.v;
    Clean(original, mask, cleaned);
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (before[i] != cleaned.v[i]) changed.push_back(i);
    }
    if (model) Refresh(cleaned, changed, 5, m5);
    Refresh(cleaned, changed, 3, m3);
  }
  result.mask = std::move(mask);
  result.cleaned = std::move(cleaned.v);
  return result;
}

}  // namespace lxr4
