// Masters from named frames: each frame's header read for its sections and
// binning, the checks that name the file at fault, then reduce/masters.h; and
// the master files.
#include "night/night_masters.h"

#include <cmath>
#include <optional>
#include <utility>

#include "imagefile/fits_frame_writer.h"
#include "imagefile/reduction_frame.h"

namespace lxr4 {
namespace {

const char* TypeOf(MasterKind kind) {
  switch (kind) {
    case MasterKind::Bias: return "BIAS";
    case MasterKind::Dark: return "DARK";
    case MasterKind::Flat: return "FLAT";
  }
  return "BIAS";
}

const char* WordOf(MasterKind kind) {
  switch (kind) {
    case MasterKind::Bias: return "bias";
    case MasterKind::Dark: return "dark";
    case MasterKind::Flat: return "flat";
  }
  return "bias";
}

bool GoodExposure(const Frame& f) { return f.exposure && std::isfinite(*f.exposure) && *f.exposure > 0.0; }

std::string SectionOrNone(const std::optional<Section>& s) { return s ? SectionText(*s) : std::string("none"); }

// The frames as reduce/ takes them, with the checks reduce/ would word by
// the frame's number worded here by its name.
std::optional<MasterResult> Prepare(std::span<const NamedFits> named, const MasterRequest& request,
                                    std::vector<Frame>& frames, Overscan& overscan) {
  const std::string type = TypeOf(request.kind);
  for (std::size_t i = 0; i < named.size(); ++i) {
    const std::string& name = named[i].name;
    ReductionFrameResult r = ReductionFrameOf(named[i].frame, name);
    if (!r.ok())
      return MasterResult::Refused(r.error == ReductionFrameError::BadBinning ? MasterError::BinningMismatch
                                                                               : MasterError::BadOverscan,
                                   r.message);
    const std::string written = NormalImageType(r.frame.imageType);
    if (!written.empty() && written != type)
      return MasterResult::Refused(MasterError::WrongType,
                                   name + " is a " + written + " frame, not a " + type + " frame.");
    const bool needsExposure =
        request.kind == MasterKind::Dark || (request.kind == MasterKind::Flat && request.darkRate != nullptr);
    if (needsExposure && !GoodExposure(r.frame))
      return MasterResult::Refused(MasterError::NoExposure, name + " has no exposure time above 0 seconds.");
    if (i == 0) {
      overscan.region = r.overscan;
    } else {
      const Frame& first = frames.front();
      if (!SameShape(first, r.frame))
        return MasterResult::Refused(
            first.width == r.frame.width && first.height == r.frame.height ? MasterError::BinningMismatch
                                                                           : MasterError::SizeMismatch,
            name + " is " + FrameShapeText(r.frame) + "; " + named[0].name + " is " + FrameShapeText(first) + ".");
      const bool same = r.overscan.has_value() == overscan.region.has_value() &&
                        (!r.overscan || SectionText(*r.overscan) == SectionText(*overscan.region));
      if (!same)
        return MasterResult::Refused(MasterError::BadOverscan, name + "'s overscan (BIASSEC) is " +
                                                                   SectionOrNone(r.overscan) + "; " + named[0].name +
                                                                   "'s is " + SectionOrNone(overscan.region) + ".");
    }
    frames.push_back(std::move(r.frame));
  }
  return std::nullopt;
}

}  // namespace

MasterResult BuildMaster(std::span<const NamedFits> named, const MasterRequest& request) {
  const std::string word = WordOf(request.kind);
  if (named.empty()) return MasterResult::Refused(MasterError::NoFrames, "There are no " + word + " frames.");
  std::vector<Frame> frames;
  Overscan overscan;
  if (auto refused = Prepare(named, request, frames, overscan)) return *refused;
  CombineOptions combine;
  combine.method =
      request.combine == CombineChoice::Median ? CombineMethod::Median : CombineMethod::SigmaClippedMean;
  combine.clip.low = combine.clip.high = request.sigma;
  combine.threads = 0;
  MasterResult m;
  switch (request.kind) {
    case MasterKind::Bias: m = MakeMasterBias(frames, combine, overscan); break;
    case MasterKind::Dark: m = MakeMasterDark(frames, request.bias, combine, overscan); break;
    case MasterKind::Flat: {
      FlatOptions flat;
      flat.axis = request.axis;
      m = MakeMasterFlat(frames, request.bias, request.darkRate, combine, flat, overscan);
      break;
    }
  }
  if (!m.ok()) return m;
  std::string names;
  for (const NamedFits& f : named) names += (names.empty() ? "" : ", ") + f.name;
  m.frame.provenance.insert(m.frame.provenance.begin(), "master " + word + " of " + std::to_string(named.size()) +
                                                            " frames: " + names);
  return m;
}

std::vector<std::uint8_t> MasterFileBytes(const Frame& master, MasterKind kind, int combined) {
  FrameFile shape;
  shape.width = master.width;
  shape.height = master.height;
  shape.bitpix = -32;
  shape.textKeys = {{"IMAGETYP", std::string("MASTER ") + TypeOf(kind)}};
  shape.numberKeys = {{"NCOMBINE", combined}, {"XBINNING", master.binX}, {"YBINNING", master.binY}};
  if (kind == MasterKind::Dark) shape.numberKeys.emplace_back("EXPTIME", 1.0);  // the values are per second
  if (kind == MasterKind::Dark) shape.textKeys.emplace_back("BUNIT", "counts/s");
  shape.history = master.provenance;
  const std::vector<double> values(master.values.begin(), master.values.end());
  std::optional<std::vector<std::uint8_t>> bytes = WriteFrameFile(shape, values);
  return bytes ? std::move(*bytes) : std::vector<std::uint8_t>{};
}

Result<MasterFileError, MasterRead> MasterFromFits(FitsFrame fits, const std::string& name, MasterKind kind) {
  using R = Result<MasterFileError, MasterRead>;
  const std::string type = TypeOf(kind);
  const std::string written = NormalImageType(fits.facts.imageType);
  if (written != type && written != "MASTER " + type)
    return R::Refused(MasterFileError::WrongKind,
                      name + " is not a master " + WordOf(kind) + ": its IMAGETYP is " +
                          (written.empty() ? std::string("missing") : "\"" + fits.facts.imageType + "\"") +
                          ", not \"MASTER " + type + "\".");
  fits.facts.biasSection.clear();  // a master's sections are those of the frames it is applied to
  fits.facts.trimSection.clear();
  ReductionFrameResult r = ReductionFrameOf(std::move(fits), name);
  if (!r.ok()) return R::Refused(MasterFileError::BadHeader, r.message);
  R read;
  read.frame = std::move(r.frame);
  read.frame.imageType = type;
  return read;
}

}  // namespace lxr4
