#include "imagefile/reduction_frame.h"

#include <cmath>
#include <utility>

namespace lxr4 {

ReductionFrameResult ReductionFrameOf(FitsFrame fits, const std::string& name) {
  ReductionFrameResult r;
  const FitsFacts& facts = fits.facts;
  for (const auto& [bin, key] : {std::pair{facts.binX, "XBINNING"}, std::pair{facts.binY, "YBINNING"}}) {
    if (bin && !(*bin >= 1 && *bin <= kMaxBinning && std::floor(*bin) == *bin))
      return ReductionFrameResult::Refused(ReductionFrameError::BadBinning,
                                           name + ": the header's " + key + " is no binning from 1 to " +
                                               std::to_string(kMaxBinning) + ".");
  }
  struct Key {
    const std::string& text;
    const char* name;
    std::optional<Section>& to;
  };
  for (const Key& k : {Key{facts.biasSection, "BIASSEC", r.overscan}, Key{facts.trimSection, "TRIMSEC", r.trim}}) {
    if (k.text.empty()) continue;
    const SectionResult s = ParseSection(k.text, fits.width, fits.height);
    if (!s.ok())
      return ReductionFrameResult::Refused(ReductionFrameError::BadSection,
                                           name + ": the header's " + k.name + ": " + s.message);
    k.to = s.section;
  }
  Frame& f = r.frame;
  f.width = fits.width;
  f.height = fits.height;
  f.values = std::move(fits.values);
  f.exposure = facts.exposure;
  f.binX = facts.binX ? static_cast<int>(*facts.binX) : 1;
  f.binY = facts.binY ? static_cast<int>(*facts.binY) : 1;
  f.imageType = NormalImageType(facts.imageType);
  f.provenance.push_back(name);
  return r;
}

}  // namespace lxr4
