#include "calibration/calibration_text.h"

#include <charconv>

#include "calibration/grating_model.h"

namespace lxr4 {

namespace {

// The fewest digits that read back to the same value, '.' in every locale.
template <typename T>
std::string Digits(T value) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

std::vector<std::string> CalibrationTextLines(const AppState& s) {
  if (!s.CalibrationDone) return {};
  return {
      "LXR-4 grating model",
      "focal length " + Digits(s.FocalLength.AsDouble()) + " mm",
      "alpha angle " + Digits(s.AlphaAngle.AsDouble()) + " deg",
      std::string("wavelength ") + (s.WavelengthDescending != kFalse ? "falling" : "rising") +
          " with the column",
      "pixel width " + Digits(s.PixelWidth.AsSingle()) + " um",
      "groove spacing " + Digits(s.GrooveSpacing.AsDouble()) + " um, gamma angle " +
          Digits(s.GammaAngle.AsDouble()) + " deg, theta 0 at column " + Digits(kReferenceColumn),
  };
}

}  // namespace lxr4
