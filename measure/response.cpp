// The instrument response from a reference star, spectra divided by it, and
// its CSV file.
#include "measure/response.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/num.h"
#include "base/number_text.h"

namespace lxr4 {

namespace {

using MakeResult = Result<ResponseError, ResponseCurve>;
using ApplyResult = Result<ResponseError, CorrectedSpectrum>;

// Each window's ends, Angstrom (air), rising by their start. The wings of an
// A star's Balmer lines reach 50 A and more from their cores (+-60 A for
// H-alpha and H-beta, +-50 for H-gamma and H-delta, +-40 for H-epsilon); the
// higher ones crowd together and are narrower; the metal and helium lines need
// +-10 to 15 A.
constexpr std::array<MaskWindow, 27> kWindows = {{
    {3820, 3850, "H9"},          {3869, 3909, "H8"},        {3918, 3949, "Ca II K"},
    {3930, 4010, "H-epsilon"},   {4052, 4152, "H-delta"},   {4290, 4390, "H-gamma"},
    {4461, 4482, "He I 4471"},   {4801, 4921, "H-beta"},    {5160, 5195, "Mg b"},
    {5866, 5886, "He I 5876"},   {5883, 5903, "Na D"},      {6503, 6623, "H-alpha"},
    {6668, 6688, "He I 6678"},   {6867, 6920, "O2 B band"}, {7160, 7340, "H2O band"},
    {7594, 7700, "O2 A band"},   {8120, 8350, "H2O band"},  {8487, 8518, "Pa16, Ca II"},
    {8530, 8561, "Pa15, Ca II"}, {8588, 8609, "Pa14"},      {8650, 8680, "Pa13, Ca II"},
    {8740, 8761, "Pa12"},        {8850, 8876, "Pa11"},      {9000, 9030, "Pa10"},
    {9214, 9244, "Pa9"},         {9300, 9700, "H2O band"},  {9531, 9561, "Pa-epsilon"},
}};

bool Finite(std::span<const double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

bool StrictlyRising(std::span<const double> x) {
  return std::adjacent_find(x.begin(), x.end(), [](double a, double b) { return !(a < b); }) == x.end();
}

// y at x by straight lines between the points of rising `xs`; x within range.
double Interpolate(std::span<const double> xs, std::span<const double> ys, double x) {
  const auto upper = std::upper_bound(xs.begin(), xs.end(), x);
  const auto i = static_cast<std::size_t>(
      std::clamp<std::ptrdiff_t>(upper - xs.begin(), 1, static_cast<std::ptrdiff_t>(xs.size()) - 1));
  const double t = (x - xs[i - 1]) / (xs[i] - xs[i - 1]);
  return ys[i - 1] + t * (ys[i] - ys[i - 1]);
}

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  if (values.size() % 2 == 1) return *middle;
  return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

// A uniform cubic B-spline on [start, start + spans * step]: the index of the
// first of the four coefficients at x and their weights there.
struct Basis {
  std::size_t first = 0;
  std::array<double, 4> weight{};
};

Basis BasisAt(double x, double start, double step, std::size_t spans) {
  const double s = (x - start) / step;
  const auto j = static_cast<std::size_t>(std::clamp(std::floor(s), 0.0, static_cast<double>(spans - 1)));
  const double u = s - static_cast<double>(j), v = 1 - u;
  return {j,
          {v * v * v / 6, (3 * u * u * u - 6 * u * u + 4) / 6, (-3 * u * u * u + 3 * u * u + 3 * u + 1) / 6,
           u * u * u / 6}};
}

// Solves the symmetric positive definite system of half-bandwidth 3 whose
// lower band is band[i][k] = A(i, i - k), by Cholesky; the band is overwritten.
// False when it is not positive definite.
bool SolveBanded(std::vector<std::array<double, 4>>& band, std::vector<double>& rhs) {
  const std::size_t n = band.size();
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t k = std::min<std::size_t>(3, i); k >= 1; --k) {  // L(i, i - k)
      double sum = band[i][k];
      for (std::size_t m = k + 1; m <= std::min<std::size_t>(3, i); ++m)
        sum -= band[i][m] * band[i - k][m - k];
      band[i][k] = sum / band[i - k][0];
    }
    double diagonal = band[i][0];
    for (std::size_t m = 1; m <= std::min<std::size_t>(3, i); ++m) diagonal -= band[i][m] * band[i][m];
    if (!(diagonal > 0)) return false;
    band[i][0] = std::sqrt(diagonal);
  }
  for (std::size_t i = 0; i < n; ++i) {  // L y = b
    for (std::size_t m = 1; m <= std::min<std::size_t>(3, i); ++m) rhs[i] -= band[i][m] * rhs[i - m];
    rhs[i] /= band[i][0];
  }
  for (std::size_t i = n; i-- > 0;) {  // L^T x = y
    for (std::size_t m = 1; m <= 3 && i + m < n; ++m) rhs[i] -= band[i + m][m] * rhs[i + m];
    rhs[i] /= band[i][0];
  }
  return true;
}

// The smooth curve through the points (x, y) at the samples `at`: a
// least-squares cubic spline with knots about `step` apart across
// [at.front(), at.back()], with a light penalty on the coefficients' second
// differences, which decides them (as a straight line) where no point lies.
std::vector<double> SmoothSpline(std::span<const double> x, std::span<const double> y,
                                 std::span<const double> at, double step) {
  const double start = at.front(), width = at.back() - at.front();
  const auto spans = static_cast<std::size_t>(std::max(1.0, std::round(width / step)));
  step = width / static_cast<double>(spans);
  const std::size_t n = spans + 3;
  std::vector<std::array<double, 4>> band(n, std::array<double, 4>{});
  std::vector<double> rhs(n, 0.0);
  for (std::size_t p = 0; p < x.size(); ++p) {
    const Basis b = BasisAt(x[p], start, step, spans);
    for (std::size_t r = 0; r < 4; ++r) {
      rhs[b.first + r] += b.weight[r] * y[p];
      for (std::size_t c = 0; c <= r; ++c) band[b.first + r][r - c] += b.weight[r] * b.weight[c];
    }
  }
  constexpr double kPenalty = 1e-3;  // next to a point's weight of about 1: it bends the fit little
  for (std::size_t i = 0; i + 2 < n; ++i) {
    const std::array<double, 3> d{1, -2, 1};
    for (std::size_t r = 0; r < 3; ++r) {
      for (std::size_t c = 0; c <= r; ++c) band[i + r][r - c] += kPenalty * d[r] * d[c];
    }
  }
  std::vector<double> out(at.size(), 0.0);
  // The penalty fixes all but a straight line, which two points at different x fix.
  if (!SolveBanded(band, rhs)) return out;
  for (std::size_t i = 0; i < at.size(); ++i) {
    const Basis b = BasisAt(at[i], start, step, spans);
    for (std::size_t r = 0; r < 4; ++r) out[i] += b.weight[r] * rhs[b.first + r];
  }
  return out;
}

}  // namespace

std::span<const MaskWindow> ResponseMaskWindows() { return kWindows; }

MakeResult MakeResponse(std::span<const double> observedWavelengths, std::span<const double> observedCounts,
                        std::span<const double> referenceWavelengths, std::span<const double> referenceFlux,
                        const ResponseOptions& options) {
  if (observedWavelengths.size() != observedCounts.size() ||
      referenceWavelengths.size() != referenceFlux.size()) {
    return MakeResult::Refused(
        ResponseError::SizeMismatch,
        "The observed spectrum needs one count and the reference one flux for each wavelength.");
  }
  const double smoothing = options.smoothing;
  if (!(smoothing > 0) || !std::isfinite(smoothing)) {
    return MakeResult::Refused(ResponseError::BadSmoothing,
                               "The smoothing width must be a number of Angstrom above 0.");
  }
  if (!Finite(observedWavelengths) || !Finite(observedCounts) || !Finite(referenceWavelengths) ||
      !Finite(referenceFlux)) {
    return MakeResult::Refused(ResponseError::NotFinite, "The spectra hold a value that is not a number.");
  }
  if (!StrictlyRising(observedWavelengths)) {
    return MakeResult::Refused(ResponseError::NotMonotonic,
                               "The observed spectrum's wavelengths must rise from sample to sample.");
  }
  std::vector<double> refW(referenceWavelengths.begin(), referenceWavelengths.end());
  std::vector<double> refF(referenceFlux.begin(), referenceFlux.end());
  if (refW.size() >= 2 && refW.front() > refW.back()) {
    std::reverse(refW.begin(), refW.end());
    std::reverse(refF.begin(), refF.end());
  }
  if (!StrictlyRising(refW)) {
    return MakeResult::Refused(ResponseError::NotMonotonic,
                               "The reference's wavelengths must rise or fall from sample to sample.");
  }

  // The observed samples inside the reference's range.
  const auto from = refW.size() < 2 ? observedWavelengths.end()
                                    : std::lower_bound(observedWavelengths.begin(), observedWavelengths.end(),
                                                       refW.front());
  const auto to = refW.size() < 2 ? observedWavelengths.end()
                                  : std::upper_bound(from, observedWavelengths.end(), refW.back());
  const std::span<const double> w(from, to);
  const std::span<const double> counts =
      observedCounts.subspan(static_cast<std::size_t>(from - observedWavelengths.begin()), w.size());
  const double needed = 3 * smoothing;
  if (w.size() < 10 || w.back() - w.front() < needed) {
    const double width = w.empty() ? 0 : w.back() - w.front();
    return MakeResult::Refused(ResponseError::TooLittleOverlap,
                               "The observed spectrum and the reference share " + std::to_string(w.size()) +
                                   " samples over " + FormatNumber(width, "0.0") +
                                   " A; a response needs 10 samples over 3 smoothing widths (" +
                                   FormatNumber(needed, "0.0") + " A).");
  }

  // A median over fewer than 3 samples smooths nothing; this also bounds the
  // spline's unknowns by the samples.
  const double spacing = (w.back() - w.front()) / static_cast<double>(w.size() - 1);
  if (smoothing < 3 * spacing) {
    return MakeResult::Refused(
        ResponseError::BadSmoothing,
        "The smoothing width must span 3 samples or more (" + FormatNumber(3 * spacing, "0.00") + " A).");
  }

  const auto notPositive = [](double at) {
    return MakeResult::Refused(ResponseError::ReferenceNotPositive,
                               "The reference's flux is 0 or below at " + FormatNumber(at, "0.0") +
                                   " A, so nothing can be divided by it.");
  };
  for (std::size_t i = 0; i < refW.size(); ++i) {
    if (refW[i] >= w.front() && refW[i] <= w.back() && !(refF[i] > 0)) return notPositive(refW[i]);
  }
  const auto beyond = [](double at) {
    return MakeResult::Refused(ResponseError::NotFinite, "The counts divided by the reference's flux at " +
                                                             FormatNumber(at, "0.0") +
                                                             " A are beyond a number.");
  };
  std::vector<double> ratio(w.size());
  std::vector<bool> masked(w.size(), false);
  std::vector<double> kept;
  for (std::size_t i = 0; i < w.size(); ++i) {
    const double reference = Interpolate(refW, refF, w[i]);
    if (!(reference > 0)) return notPositive(w[i]);
    ratio[i] = counts[i] / reference;
    if (!std::isfinite(ratio[i])) return beyond(w[i]);
    masked[i] = options.maskLines && std::any_of(kWindows.begin(), kWindows.end(), [&](const MaskWindow& m) {
                  return w[i] >= m.min && w[i] <= m.max;
                });
    if (!masked[i]) kept.push_back(ratio[i]);
  }
  if (kept.size() < 10) {
    return MakeResult::Refused(ResponseError::TooLittleOverlap,
                               "Only " + std::to_string(kept.size()) +
                                   " samples lie outside the masked lines; a response needs 10.");
  }
  const auto noSignal = [] {
    return MakeResult::Refused(ResponseError::NoSignal,
                               "The observed counts are not above 0 over enough of the reference's range "
                               "to measure a response.");
  };
  // Scaled to a median of 1, the fit's numbers stay near 1 whatever the units.
  const double scale = Median(kept);
  if (!(scale > 0)) return noSignal();
  for (double& r : ratio) r /= scale;

  // The running median of the unmasked samples, a quarter width apart, each
  // at the median wavelength of its samples: on a sloping curve that is where
  // the median value lies, also at the ends where the window is one-sided.
  std::vector<double> px, py, xs, window;
  const double step = smoothing / 4;
  const auto points = static_cast<std::size_t>(std::ceil((w.back() - w.front()) / step));
  for (std::size_t k = 0; k <= points; ++k) {
    const double centre = w.front() + static_cast<double>(k) * step;
    const auto lo = std::lower_bound(w.begin(), w.end(), centre - smoothing / 2);
    const auto hi = std::upper_bound(lo, w.end(), centre + smoothing / 2);
    xs.clear();
    window.clear();
    for (auto it = lo; it != hi; ++it) {
      const auto i = static_cast<std::size_t>(it - w.begin());
      if (masked[i]) continue;
      xs.push_back(*it);
      window.push_back(ratio[i]);
    }
    if (window.empty()) continue;
    px.push_back(Median(xs));
    py.push_back(Median(window));
  }
  const std::vector<double> smooth = SmoothSpline(px, py, w, smoothing);

  // Keep the longest stretch where the camera sees the star: below 1 % of the
  // median, dividing by the curve would blow the noise up a hundredfold.
  const double least = 0.01 * Median(smooth);
  if (!(least > 0)) return noSignal();
  std::size_t best = 0, bestLength = 0;
  for (std::size_t i = 0; i < smooth.size();) {
    std::size_t j = i;
    while (j < smooth.size() && smooth[j] > least) ++j;
    if (j - i > bestLength) {
      best = i;
      bestLength = j - i;
    }
    i = j + 1;
  }
  if (bestLength < 10) return noSignal();
  const auto first = static_cast<std::ptrdiff_t>(best), last = static_cast<std::ptrdiff_t>(best + bestLength);
  MakeResult out;
  out.wavelength.assign(w.begin() + first, w.begin() + last);
  out.response.assign(smooth.begin() + first, smooth.begin() + last);
  out.masked.assign(masked.begin() + first, masked.begin() + last);
  const double median = Median(out.response);
  for (std::size_t i = 0; i < out.response.size(); ++i) {
    out.response[i] /= median;
    if (!std::isfinite(out.response[i])) return beyond(out.wavelength[i]);
  }
  return out;
}

ApplyResult ApplyResponse(const ResponseCurve& curve, std::span<const double> wavelengths,
                          std::span<const double> counts) {
  if (wavelengths.size() != counts.size()) {
    return ApplyResult::Refused(ResponseError::SizeMismatch,
                                "The spectrum needs one count for each wavelength.");
  }
  const std::span<const double> cw = curve.wavelength, cr = curve.response;
  if (cw.size() < 2 || cr.size() != cw.size() || !Finite(cw) || !Finite(cr) || !StrictlyRising(cw) ||
      !std::all_of(cr.begin(), cr.end(), [](double r) { return r > 0; })) {
    return ApplyResult::Refused(ResponseError::BadCurve,
                                "The response curve needs 2 or more rising wavelengths, each with a response "
                                "above 0.");
  }
  if (!Finite(wavelengths) || !Finite(counts)) {
    return ApplyResult::Refused(ResponseError::NotFinite, "The spectrum holds a value that is not a number.");
  }
  const std::string range = FormatNumber(cw.front(), "0.0") + "-" + FormatNumber(cw.back(), "0.0") + " A";
  ApplyResult out;
  for (std::size_t i = 0; i < wavelengths.size(); ++i) {
    if (wavelengths[i] < cw.front() || wavelengths[i] > cw.back()) {
      ++out.leftOut;
      continue;
    }
    const double flux = counts[i] / Interpolate(cw, cr, wavelengths[i]);
    if (!std::isfinite(flux)) {
      return ApplyResult::Refused(ResponseError::NotFinite, "The counts divided by the response at " +
                                                                FormatNumber(wavelengths[i], "0.0") +
                                                                " A are beyond a number.");
    }
    out.wavelength.push_back(wavelengths[i]);
    out.flux.push_back(flux);
  }
  if (out.wavelength.empty()) {
    return ApplyResult::Refused(ResponseError::OutsideCurve,
                                "The spectrum lies wholly outside the response's " + range + ".");
  }
  if (out.leftOut == 1) out.note = "1 sample outside the response's " + range + " was left out.";
  if (out.leftOut > 1) {
    out.note = std::to_string(out.leftOut) + " samples outside the response's " + range + " were left out.";
  }
  return out;
}

std::string ResponseFileText(const ResponseCurve& curve) {
  // The shortest text that reads back to the same double keeps the curve exact.
  std::string text = "wavelength_angstrom,response\n";
  for (std::size_t i = 0; i < curve.wavelength.size() && i < curve.response.size(); ++i) {
    text += ShortestText(curve.wavelength[i]) + "," + ShortestText(curve.response[i]) + "\n";
  }
  return text;
}

}  // namespace lxr4
