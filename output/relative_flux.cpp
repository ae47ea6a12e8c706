#include "output/relative_flux.h"

#include "measure/response.h"

namespace lxr4 {

std::optional<RelativeFlux> ObjectRelativeFlux(const AppState& s, std::span<const double> native,
                                               std::span<const double> values) {
  const AppState::NightReduction& n = s.Night;
  if (n.responseCurve.empty() || native.size() != values.size()) return std::nullopt;
  ResponseCurve curve;
  curve.wavelength = n.responseWavelength;
  curve.response = n.responseCurve;
  curve.masked.assign(n.responseCurve.size(), false);
  const auto corrected = ApplyResponse(curve, native, values);
  if (!corrected.ok()) return std::nullopt;
  // The samples kept are those inside the curve's range: one stretch, since the wavelengths run one way.
  RelativeFlux r;
  while (r.first < native.size() &&
         !(native[r.first] >= curve.wavelength.front() && native[r.first] <= curve.wavelength.back()))
    ++r.first;
  r.values = corrected.flux;
  r.note = corrected.note;
  return r;
}

}  // namespace lxr4
