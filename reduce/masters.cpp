// Master bias, dark and flat: the checks, the preparation of each frame for
// the combination (combine.h does the subtraction on the way in, so no
// corrected copies are made), and the flat's response.
#include "reduce/masters.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace lxr4 {
namespace {

MasterError FromCombine(CombineError e) {
  switch (e) {
    case CombineError::None:
      return MasterError::None;
    case CombineError::NoFrames:
      return MasterError::NoFrames;
    case CombineError::EmptyFrame:
      return MasterError::EmptyFrame;
    case CombineError::SizeMismatch:
      return MasterError::SizeMismatch;
    case CombineError::BinningMismatch:
      return MasterError::BinningMismatch;
    case CombineError::BadClip:
    case CombineError::BadPreparation:
      break;
  }
  return MasterError::BadOptions;
}

std::string Lower(std::string t) {
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return t;
}

std::string Capital(std::string t) {
  t = Lower(std::move(t));
  if (!t.empty()) t[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(t[0])));
  return t;
}

// The checks every master makes before combining: frames there, of one shape
// (CombineFrames says which differs), of the right type, the overscan inside,
// and each master given of the frames' shape.
std::optional<MasterResult> Check(std::span<const Frame> frames, const std::string& type, const Overscan& overscan,
                                  std::initializer_list<std::pair<const Frame*, const char*>> masters) {
  if (frames.empty())
    return MasterResult::Refused(MasterError::NoFrames, "There are no " + Lower(type) + " frames.");
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const std::string written = NormalImageType(frames[i].imageType);
    if (!written.empty() && written != type)
      return MasterResult::Refused(MasterError::WrongType, Capital(type) + " frame " + std::to_string(i + 1) +
                                                               " is a " + written + " frame, not a " + type +
                                                               " frame.");
  }
  const Frame& first = frames[0];
  if (first.empty()) return std::nullopt;  // CombineFrames words it
  if (!OverscanFits(first, overscan))
    return MasterResult::Refused(MasterError::BadOverscan, "The overscan " + SectionText(*overscan.region) +
                                                               " lies outside the frames of " +
                                                               FrameShapeText(first) + ".");
  for (const auto& [master, name] : masters) {
    if (!master) continue;
    if (!master->empty() && SameShape(*master, first)) continue;
    const MasterError code = master->width == first.width && master->height == first.height
                                 ? MasterError::BinningMismatch
                                 : MasterError::SizeMismatch;
    return MasterResult::Refused(code, std::string("The ") + name + " is " + FrameShapeText(*master) + "; the " +
                                           Lower(type) + " frames are " + FrameShapeText(first) + ".");
  }
  return std::nullopt;
}

Preparation LevelsOf(std::span<const Frame> frames, const Overscan& overscan) {
  Preparation p;
  if (!overscan.region) return p;
  for (const Frame& f : frames) p.rowLevels.push_back(OverscanLevels(f, overscan));
  return p;
}

MasterResult Finish(CombineResult c, const std::string& type, const std::string& step, const Overscan& overscan) {
  if (!c.ok()) return MasterResult::Refused(FromCombine(c.error), c.message);
  MasterResult m;
  m.frame = std::move(c.frame);
  m.frame.imageType = type;
  if (overscan.region)
    m.frame.provenance.insert(m.frame.provenance.begin(),
                              std::string("overscan ") + SectionText(*overscan.region) +
                                  (overscan.perRow ? " subtracted row by row" : " subtracted"));
  if (!step.empty()) m.frame.provenance.push_back(step);
  m.rejected = c.rejected;
  return m;
}

bool GoodExposure(const Frame& f) { return f.exposure && std::isfinite(*f.exposure) && *f.exposure > 0.0; }

}  // namespace

MasterResult MakeMasterBias(std::span<const Frame> biases, const CombineOptions& combine, const Overscan& overscan) {
  if (auto refused = Check(biases, "BIAS", overscan, {})) return *refused;
  return Finish(CombineFrames(biases, combine, LevelsOf(biases, overscan)), "BIAS", "master bias", overscan);
}

MasterResult MakeMasterDark(std::span<const Frame> darks, const Frame* bias, const CombineOptions& combine,
                            const Overscan& overscan) {
  if (auto refused = Check(darks, "DARK", overscan, {{bias, "bias"}})) return *refused;
  Preparation p = LevelsOf(darks, overscan);
  p.offset = bias;
  for (std::size_t i = 0; i < darks.size(); ++i) {
    if (!GoodExposure(darks[i]))
      return MasterResult::Refused(MasterError::NoExposure,
                                   "Dark frame " + std::to_string(i + 1) + " has no exposure time above 0 seconds.");
    p.scale.push_back(1.0 / *darks[i].exposure);
  }
  MasterResult m = Finish(CombineFrames(darks, combine, p), "DARK", "master dark in counts per second", overscan);
  if (m.ok() && bias) m.frame.provenance.insert(m.frame.provenance.begin(), "bias subtracted");
  if (m.ok()) m.frame.exposure = 1.0;
  return m;
}

MasterResult MakeMasterFlat(std::span<const Frame> flats, const Frame* bias, const Frame* darkRate,
                            const CombineOptions& combine, const FlatOptions& flat, const Overscan& overscan) {
  if (auto refused = Check(flats, "FLAT", overscan, {{bias, "bias"}, {darkRate, "dark"}})) return *refused;
  Preparation p = LevelsOf(flats, overscan);
  p.offset = bias;
  p.rate = darkRate;
  for (std::size_t i = 0; i < flats.size(); ++i) {
    const Frame& f = flats[i];
    if (darkRate && !GoodExposure(f))
      return MasterResult::Refused(MasterError::NoExposure,
                                   "Flat frame " + std::to_string(i + 1) +
                                       " has no exposure time above 0 seconds to scale the dark by.");
    if (darkRate) p.seconds.push_back(*f.exposure);
    if (f.empty() || !SameShape(f, flats[0])) continue;  // CombineFrames words it
    // Scaled to mean 1, so that flats of a lamp that drifted combine as one.
    const std::vector<float> none;
    const std::vector<float>& levels = p.rowLevels.empty() ? none : p.rowLevels[i];
    double sum = 0.0;
    for (int y = 0; y < f.height; ++y) {
      const double level =
          levels.empty() ? 0.0 : static_cast<double>(levels.size() == 1 ? levels[0] : levels[static_cast<std::size_t>(y)]);
      for (int x = 0; x < f.width; ++x) {
        const std::size_t k = f.index(x, y);
        double v = static_cast<double>(f.values[k]) - level;
        if (bias) v -= static_cast<double>(bias->values[k]);
        if (darkRate) v -= static_cast<double>(darkRate->values[k]) * *f.exposure;
        sum += v;
      }
    }
    const double mean = sum / static_cast<double>(f.pixels());
    if (!(mean > 0.0))
      return MasterResult::Refused(MasterError::FlatTooFaint, "Flat frame " + std::to_string(i + 1) +
                                                                  " has no light left once the bias and dark are "
                                                                  "subtracted.");
    p.scale.push_back(1.0 / mean);
  }
  if (flat.smoothWidth < 1 || flat.smoothWidth % 2 == 0 || !(flat.floor > 0.0 && flat.floor < 1.0))
    return MasterResult::Refused(MasterError::BadOptions,
                                 "The flat needs an odd smoothing width of at least 1 and a floor between 0 and 1.");
  MasterResult combined = Finish(CombineFrames(flats, combine, p), "FLAT", "", overscan);
  if (!combined.ok()) return combined;
  MasterResult m = FlatResponse(combined.frame, flat);
  if (!m.ok()) return m;
  std::vector<std::string> steps;
  if (bias) steps.emplace_back("bias subtracted");
  if (darkRate) steps.emplace_back("dark subtracted for each exposure");
  steps.emplace_back("each scaled to mean 1");
  steps.insert(steps.end(), combined.frame.provenance.begin(), combined.frame.provenance.end());
  steps.insert(steps.end(), m.frame.provenance.begin(), m.frame.provenance.end());
  m.frame.provenance = std::move(steps);
  m.rejected = combined.rejected;
  return m;
}

MasterResult FlatResponse(const Frame& combined, const FlatOptions& flat) {
  const bool alongRows = flat.axis == DispersionAlong::Rows;
  const int positions = alongRows ? combined.width : combined.height;  // along the dispersion
  const int across = alongRows ? combined.height : combined.width;
  const int first = flat.slitFirst.value_or(1);
  const int last = flat.slitLast.value_or(across);
  if (combined.empty() || flat.smoothWidth < 1 || flat.smoothWidth % 2 == 0 ||
      !(flat.floor > 0.0 && flat.floor < 1.0) || first < 1 || last > across || first > last)
    return MasterResult::Refused(MasterError::BadOptions,
                                 "The flat's slit must lie across the frame (1 to " + std::to_string(across) +
                                     "), its smoothing width be odd and its floor between 0 and 1.");
  const auto at = [&](int d, int a) {
    return static_cast<double>(alongRows ? combined.at(d, a) : combined.at(a, d));
  };
  // The lamp's shape: the median across the slit at each position, then a running median.
  std::vector<double> shape(static_cast<std::size_t>(positions));
  std::vector<double> values;
  for (int d = 0; d < positions; ++d) {
    values.clear();
    for (int a = first - 1; a < last; ++a) values.push_back(at(d, a));
    shape[static_cast<std::size_t>(d)] = MedianOf(values);
  }
  std::vector<double> smooth(shape.size());
  const int half = flat.smoothWidth / 2;
  for (int d = 0; d < positions; ++d) {
    // A window centred on d, narrower near the ends, so a straight shape stays straight.
    const int reach = std::min({half, d, positions - 1 - d});
    const auto lo = static_cast<std::size_t>(d - reach);
    const auto hi = static_cast<std::size_t>(d + reach);
    values.assign(shape.begin() + static_cast<std::ptrdiff_t>(lo), shape.begin() + static_cast<std::ptrdiff_t>(hi) + 1);
    smooth[static_cast<std::size_t>(d)] = MedianOf(values);
  }
  values = smooth;
  const double typical = MedianOf(values);
  if (!(typical > 0.0))
    return MasterResult::Refused(MasterError::FlatTooFaint, "The flat holds no light along its slit.");

  MasterResult m;
  m.frame = FrameLike(combined, 1.0F);
  m.frame.imageType = "FLAT";
  std::vector<char> lit(combined.pixels(), 0);
  double sum = 0.0;
  long long count = 0;
  for (int d = 0; d < positions; ++d) {
    const double s = smooth[static_cast<std::size_t>(d)];
    if (!(s >= flat.floor * typical)) continue;
    for (int a = 0; a < across; ++a) {
      const double r = at(d, a) / s;
      if (!(r >= flat.floor)) continue;
      const std::size_t k = alongRows ? combined.index(d, a) : combined.index(a, d);
      m.frame.values[k] = static_cast<float>(r);
      lit[k] = 1;
      sum += r;
      ++count;
    }
  }
  if (count == 0) return MasterResult::Refused(MasterError::FlatTooFaint, "The flat holds no light along its slit.");
  const double mean = sum / static_cast<double>(count);
  for (std::size_t k = 0; k < lit.size(); ++k)
    if (lit[k]) m.frame.values[k] = static_cast<float>(static_cast<double>(m.frame.values[k]) / mean);
  m.floored = static_cast<long long>(combined.pixels()) - count;
  m.frame.provenance.push_back("divided by the lamp's shape (median across " + std::string(alongRows ? "rows " : "columns ") +
                               std::to_string(first) + " to " + std::to_string(last) + ", running median of " +
                               std::to_string(flat.smoothWidth) + ")");
  m.frame.provenance.push_back("normalised to mean 1 over the lit pixels; " + std::to_string(m.floored) +
                               " pixels below " + ShortNumberText(flat.floor) + " set to 1");
  return m;
}

}  // namespace lxr4
