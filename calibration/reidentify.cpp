#include "calibration/reidentify.h"

#include <string>

#include "base/number_text.h"
#include "calibration/line_fit.h"

namespace lxr4 {

ReidentifyResult Reidentify(const FittedCalibration& saved, std::span<const double> savedArc,
                            std::span<const double> currentArc, const std::vector<ListLine>& list) {
  using E = ReidentifyError;
  if (static_cast<int>(savedArc.size()) != saved.pixels)
    return ReidentifyResult::Refused(
        E::Mismatch, "The saved lamp spectrum has " + std::to_string(savedArc.size()) +
                         " pixels, but the calibration counts " + std::to_string(saved.pixels) + ".");
  ReidentifyResult out;
  out.shift = MeasureArcShift(savedArc, currentArc);
  if (!out.shift.ok) {
    out.error = E::NoShift;
    out.message =
        "This lamp does not match the one the calibration was made on: its lines could not be found "
        "again (best correlation " +
        FormatNumber(out.shift.correlation, "0.00") + ").";
    return out;
  }
  const ArcShift shift = out.shift;
  AutoIdentifyStart start;
  start.calibration = [&saved, shift](double pixel) {
    return static_cast<double>(FittedWavelength(saved, shift.SavedPixel(pixel)));
  };
  // The shift is measured to a fraction of a pixel: the lines lie within a few of the moved calibration.
  start.calibrationReach = kReidentifyReachPixels;
  const AutoIdentifyResult found = AutoIdentifyLines(currentArc, list, start);
  if (!found.ok()) {
    out.error = E::NotIdentified;
    out.message = "The lamp has moved by " + FormatNumber(shift.shift, "0.00") +
                  " pixels, but its lines could not be identified again: " + found.message;
    return out;
  }
  out.identification = found;
  return out;
}

}  // namespace lxr4
