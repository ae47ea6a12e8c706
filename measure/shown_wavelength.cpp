#include "measure/shown_wavelength.h"

#include <algorithm>
#include <cmath>

#include "calibration/air_vacuum.h"
#include "measure/velocity.h"

namespace lxr4 {

namespace {
double DopplerFactor(double kms) {
  const double beta = kms / kSpeedOfLightKms;
  if (!std::isfinite(beta) || std::abs(beta) >= 1) return 1;
  return std::sqrt((1 + beta) / (1 - beta));
}
}  // namespace

double ShownWavelength(double native, const WavelengthFrame& frame) {
  double w = native;
  if (frame.vacuum != frame.calibratedInVacuum) w = frame.vacuum ? AirToVacuum(w) : VacuumToAir(w);
  w /= DopplerFactor(frame.shiftKms);
  return frame.nanometres ? w / 10 : w;
}

double NativeWavelength(double shown, const WavelengthFrame& frame) {
  double w = frame.nanometres ? shown * 10 : shown;
  w *= DopplerFactor(frame.shiftKms);
  if (frame.vacuum != frame.calibratedInVacuum) w = frame.vacuum ? VacuumToAir(w) : AirToVacuum(w);
  return w;
}

ContinuumOptions NormalisationOptions(const std::vector<WavelengthRange>& marked) {
  ContinuumOptions options;
  options.ranges = marked;
  options.order = marked.empty() ? 3 : std::clamp(static_cast<int>(marked.size()) - 1, 0, 3);
  return options;
}

WavelengthFrame ViewFrame(const AppState& s) {
  WavelengthFrame frame;
  frame.calibratedInVacuum = !s.Lamp.names.empty() && s.Lamp.vacuum;
  frame.vacuum = s.View.vacuum.value_or(frame.calibratedInVacuum);
  frame.shiftKms = s.View.shiftKms;
  frame.nanometres = s.View.units == ViewUnits::Nanometre;
  return frame;
}

std::vector<WavelengthRange> MarkedContinuum(const AppState& s) {
  std::vector<WavelengthRange> ranges;
  for (const auto& [from, to] : s.View.continuum) ranges.push_back({from, to});
  return ranges;
}

}  // namespace lxr4
