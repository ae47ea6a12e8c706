// Calibration of one frame by its masters, checked in full before any value
// is made.
#include "reduce/calibrate_frame.h"

#include <cmath>
#include <string>

namespace lxr4 {
namespace {

bool Inside(const Section& s, const Frame& f) {
  return s.x1 >= 1 && s.x1 <= s.x2 && s.x2 <= f.width && s.y1 >= 1 && s.y1 <= s.y2 && s.y2 <= f.height;
}

std::optional<CalibrateResult> CheckMaster(const Frame* master, const char* name, const char* type,
                                           const Frame& raw) {
  if (!master) return std::nullopt;
  const std::string written = NormalImageType(master->imageType);
  if (!written.empty() && written != type)
    return CalibrateResult::Refused(CalibrateError::WrongType, std::string("The ") + name + " given is a " +
                                                                   written + " frame, not a " + type + " frame.");
  if (master->empty() || !SameShape(*master, raw))
    return CalibrateResult::Refused(CalibrateError::ShapeMismatch, std::string("The ") + name + " is " +
                                                                       FrameShapeText(*master) + "; this frame is " +
                                                                       FrameShapeText(raw) + ".");
  return std::nullopt;
}

}  // namespace

CalibrateResult CalibrateFrame(const Frame& raw, const CalibrationMasters& m) {
  if (raw.empty()) return CalibrateResult::Refused(CalibrateError::EmptyFrame, "The frame holds no image.");
  const std::string type = NormalImageType(raw.imageType);
  if (type == "BIAS" || type == "DARK" || type == "FLAT")
    return CalibrateResult::Refused(CalibrateError::WrongType, "This frame is a " + type +
                                                                   " frame; it goes into a master, not through one.");
  if (auto refused = CheckMaster(m.bias, "bias", "BIAS", raw)) return *refused;
  if (auto refused = CheckMaster(m.darkRate, "dark", "DARK", raw)) return *refused;
  if (auto refused = CheckMaster(m.flat, "flat", "FLAT", raw)) return *refused;
  if (m.darkRate && !(raw.exposure && std::isfinite(*raw.exposure) && *raw.exposure > 0.0))
    return CalibrateResult::Refused(CalibrateError::NoExposure,
                                    "This frame has no exposure time above 0 seconds to scale the dark by.");
  if (!OverscanFits(raw, m.overscan))
    return CalibrateResult::Refused(CalibrateError::BadSection, "The overscan " + SectionText(*m.overscan.region) +
                                                                    " lies outside this frame of " +
                                                                    FrameShapeText(raw) + ".");
  if (m.trim && !Inside(*m.trim, raw))
    return CalibrateResult::Refused(CalibrateError::BadSection, "The trim section " + SectionText(*m.trim) +
                                                                    " lies outside this frame of " +
                                                                    FrameShapeText(raw) + ".");

  const std::vector<float> levels = OverscanLevels(raw, m.overscan);
  const double seconds = m.darkRate ? *raw.exposure : 0.0;
  const Section keep = m.trim.value_or(Section{1, raw.width, 1, raw.height});
  CalibrateResult c;
  Frame& out = c.frame;
  out.width = keep.width();
  out.height = keep.height();
  out.binX = raw.binX;
  out.binY = raw.binY;
  out.exposure = raw.exposure;
  out.imageType = raw.imageType;
  out.provenance = raw.provenance;
  out.values.resize(out.pixels());
  for (int y = keep.y1 - 1; y < keep.y2; ++y) {
    const double level =
        levels.empty() ? 0.0 : static_cast<double>(levels.size() == 1 ? levels[0] : levels[static_cast<std::size_t>(y)]);
    float* row = out.values.data() + out.index(0, y - keep.y1 + 1);
    for (int x = keep.x1 - 1; x < keep.x2; ++x) {
      const std::size_t k = raw.index(x, y);
      double v = static_cast<double>(raw.values[k]) - level;
      if (m.bias) v -= static_cast<double>(m.bias->values[k]);
      if (m.darkRate) v -= static_cast<double>(m.darkRate->values[k]) * seconds;
      // A flat's response is never 0 (masters.h sets unlit pixels to 1); a
      // frame from elsewhere might be, and is then left uncorrected there.
      if (m.flat) {
        const double r = static_cast<double>(m.flat->values[k]);
        if (r != 0.0 && std::isfinite(r)) v /= r;
      }
      row[x - keep.x1 + 1] = static_cast<float>(v);
    }
  }
  if (m.overscan.region)
    out.provenance.push_back("overscan " + SectionText(*m.overscan.region) +
                             (m.overscan.perRow ? " subtracted row by row" : " subtracted"));
  if (m.bias) out.provenance.emplace_back("master bias subtracted");
  if (m.darkRate) out.provenance.emplace_back("master dark subtracted for the exposure");
  if (m.flat) out.provenance.emplace_back("divided by the master flat");
  if (m.trim) out.provenance.push_back("trimmed to " + SectionText(*m.trim));
  return c;
}

}  // namespace lxr4
