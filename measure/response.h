// The instrument's response: how many counts the camera records per unit of a
// star's true flux at each wavelength, measured on a star whose flux is known
// (a reference), and spectra divided by it to give relative flux. The curve is
// scaled so that its median is 1: it carries the instrument's shape, not its
// absolute sensitivity. Pure code; wavelengths in Angstrom (air or vacuum, as
// long as both spectra agree), counts and flux in any units.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace lxr4 {

enum class ResponseError {
  None,
  SizeMismatch,      // a spectrum with not one value per wavelength
  NotFinite,         // a NaN or infinity among the inputs, or a quotient beyond a number
  NotMonotonic,      // observed wavelengths not strictly rising, reference ones neither rising nor falling
  BadSmoothing,      // a smoothing width not above 0, or spanning fewer than 3 samples
  TooLittleOverlap,  // fewer than 10 observed samples, or under 3 smoothing widths, inside the reference
  ReferenceNotPositive,  // a reference flux at or below 0 over the overlap
  NoSignal,              // too few observed counts above 0 outside the masked lines
  BadCurve,              // a curve with fewer than 2 points, not rising or not above 0 (ApplyResponse)
  OutsideCurve,          // no sample of the spectrum inside the curve's range (ApplyResponse)
};

struct ResponseOptions {
  double smoothing = 100;  // Angstrom: the running median's width and the spline's knot spacing
  bool maskLines = true;   // leave out the stars' strong lines and the telluric bands (ResponseMaskWindows)
};

struct ResponseCurve {
  std::vector<double> wavelength;  // Angstrom, rising: the observed samples inside the reference's range
  std::vector<double> response;    // counts per unit of reference flux, scaled to a median of 1; above 0
  std::vector<bool> masked;        // the samples inside a masked window, where the curve is bridged
};

struct MaskWindow {
  double min = 0;  // Angstrom, air
  double max = 0;
  const char* name = "";
};

// The windows MakeResponse leaves out when asked: the Balmer series from
// H-alpha to H9 (3835 A), He I 4471, 5876 and 6678, Ca II H and K, Na D, Mg b,
// the Paschen lines (and the Ca II triplet they share) from 8500 to 9230 A,
// and the telluric bands O2 B (6867-6920) and A (7594-7700) and H2O
// (7160-7340, 8120-8350, 9300-9700). Wide enough for the broad wings of a
// hot star's Balmer lines and a cool star's metal lines. Rising by `min`.
[[nodiscard]] std::span<const MaskWindow> ResponseMaskWindows();

// The response from a star observed (`observedCounts` at `observedWavelengths`,
// strictly rising) and its reference flux (`referenceFlux` at
// `referenceWavelengths`, rising or falling): the counts divided by the
// reference linearly interpolated onto the observed samples that lie within
// the reference's range; without the masked windows when asked; then a
// running median over `smoothing` Angstrom (which passes over what is left of
// the lines) followed by a least-squares cubic spline with knots `smoothing`
// apart, which bridges the masked windows with straight lines; scaled to a
// median of 1. Where the curve falls below 1 % of its median (a camera
// blind there) the ends are cut, keeping the longest stretch above it.
// Refuses, with the program's text: unequal lengths, values (or quotients)
// that are not finite, unordered wavelengths, a smoothing not above 0 or
// spanning fewer than 3 samples, too little overlap, a reference not above 0
// there, and too few counts above 0.
[[nodiscard]] Result<ResponseError, ResponseCurve> MakeResponse(std::span<const double> observedWavelengths,
                                                                std::span<const double> observedCounts,
                                                                std::span<const double> referenceWavelengths,
                                                                std::span<const double> referenceFlux,
                                                                const ResponseOptions& options);

struct CorrectedSpectrum {
  // Only the samples inside the curve's range, in the order given: beyond it
  // the response is not known, so those samples are left out.
  std::vector<double> wavelength;
  std::vector<double> flux;  // relative flux: counts / response
  std::size_t leftOut = 0;   // samples of the spectrum outside the curve's range
  std::string
      note;  // e.g. "12 samples outside the response's 3800.0-7500.0 A were left out."; empty when none
};

// `counts` at `wavelengths` (rising or falling) divided by the curve,
// linearly interpolated. Refuses unequal lengths, values (or quotients) that
// are not finite, a curve that is not usable and a spectrum wholly outside it.
[[nodiscard]] Result<ResponseError, CorrectedSpectrum> ApplyResponse(const ResponseCurve& curve,
                                                                     std::span<const double> wavelengths,
                                                                     std::span<const double> counts);

// The curve as the program saves it: CSV with the heading
// "wavelength_angstrom,response", then one line per sample with the shortest
// texts that read back to the same doubles, whatever the user's locale. File >
// Open Spectrum reads it back as a spectrum (wavelength and flux).
[[nodiscard]] std::string ResponseFileText(const ResponseCurve& curve);

}  // namespace lxr4
