// The line measurement of line_measure.h.
#include "measure/line_measure.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "measure/continuum.h"
#include "measure/profile_fit.h"

namespace lxr4 {
namespace {

using R = Result<LineError, LineMeasurement>;

const double kSigmaToFwhm = 2 * std::sqrt(2 * std::numbers::ln2);

// What the direct sums give for one set of line fluxes and continuum coefficients.
struct Sums {
  double flux = 0, equivalentWidth = 0, centroid = 0, momentFwhm = 0;
  bool positiveContinuum = true;
};

struct LineData {
  std::vector<double> x, f, sigma, width;  // the line region's samples and their bins
};

Sums DirectSums(const LineData& line, const std::vector<double>& fluxes, const Polynomial& continuum) {
  Sums s;
  double first = 0, second = 0;
  for (std::size_t i = 0; i < line.x.size(); ++i) {
    const double c = continuum(line.x[i]);
    const double d = fluxes[i] - c;
    s.flux += d * line.width[i];
    first += d * line.x[i] * line.width[i];
    if (c > 0) {
      s.equivalentWidth += (1 - fluxes[i] / c) * line.width[i];
    } else {
      s.positiveContinuum = false;
    }
  }
  s.centroid = first / s.flux;
  for (std::size_t i = 0; i < line.x.size(); ++i) {
    const double d = fluxes[i] - continuum(line.x[i]);
    second += d * (line.x[i] - s.centroid) * (line.x[i] - s.centroid) * line.width[i];
  }
  s.momentFwhm = second / s.flux > 0 ? kSigmaToFwhm * std::sqrt(second / s.flux) : NAN;
  return s;
}

// Standard deviations of the direct sums: the gradient by central
// differences in each line flux and each continuum coefficient, against the
// fluxes' noise and the coefficients' covariance.
Sums SumErrors(const LineData& line, const Polynomial& continuum, const std::vector<double>& covariance) {
  std::array<double, 4> variance{};
  const auto add = [&](const Sums& up, const Sums& down, double step, auto&& weigh) {
    const std::array<double, 4> g{
        (up.flux - down.flux) / (2 * step), (up.equivalentWidth - down.equivalentWidth) / (2 * step),
        (up.centroid - down.centroid) / (2 * step), (up.momentFwhm - down.momentFwhm) / (2 * step)};
    weigh(g);
  };
  std::vector<double> fluxes = line.f;
  for (std::size_t i = 0; i < line.x.size(); ++i) {
    const double h = 1e-3 * line.sigma[i];
    fluxes[i] = line.f[i] + h;
    const Sums up = DirectSums(line, fluxes, continuum);
    fluxes[i] = line.f[i] - h;
    const Sums down = DirectSums(line, fluxes, continuum);
    fluxes[i] = line.f[i];
    add(up, down, h, [&](const std::array<double, 4>& g) {
      for (std::size_t q = 0; q < 4; ++q) variance[q] += g[q] * g[q] * line.sigma[i] * line.sigma[i];
    });
  }
  const std::size_t n = continuum.coefficients.size();
  std::vector<std::array<double, 4>> grads(n);
  for (std::size_t k = 0; k < n; ++k) {
    const double h = 1e-3 * std::sqrt(std::max(covariance[k * n + k], 0.0));
    if (!(h > 0)) continue;  // an exact coefficient adds nothing
    Polynomial up = continuum, down = continuum;
    up.coefficients[k] += h;
    down.coefficients[k] -= h;
    add(DirectSums(line, line.f, up), DirectSums(line, line.f, down), h,
        [&](const std::array<double, 4>& g) { grads[k] = g; });
  }
  for (std::size_t a = 0; a < n; ++a) {
    for (std::size_t b = 0; b < n; ++b) {
      for (std::size_t q = 0; q < 4; ++q) variance[q] += grads[a][q] * covariance[a * n + b] * grads[b][q];
    }
  }
  return {std::sqrt(variance[0]), std::sqrt(variance[1]), std::sqrt(variance[2]), std::sqrt(variance[3]),
          true};
}

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

}  // namespace

double LineShape(LineProfile profile, double dx, double fwhm, double lorentzFraction) {
  const double u = dx / fwhm;
  const double gauss = std::exp(-4 * std::numbers::ln2 * u * u);
  const double lorentz = 1 / (1 + 4 * u * u);
  switch (profile) {
    case LineProfile::Gaussian:
      return gauss;
    case LineProfile::Lorentzian:
      return lorentz;
    case LineProfile::PseudoVoigt:
      return lorentzFraction * lorentz + (1 - lorentzFraction) * gauss;
  }
  return gauss;
}

R MeasureLine(const LineRequest& request) {
  const auto& x = request.wavelengths;
  const auto& f = request.fluxes;
  const std::size_t size = x.size();
  if (f.size() != size || (!request.noise.empty() && request.noise.size() != size)) {
    return R::Refused(LineError::SizeMismatch,
                      "The spectrum needs one flux (and one noise) for each wavelength.");
  }
  for (std::size_t i = 0; i < size; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(f[i]) ||
        (!request.noise.empty() && !(request.noise[i] > 0 && std::isfinite(request.noise[i])))) {
      return R::Refused(LineError::NotFinite,
                        "The spectrum holds a value that is not a number, or a noise not above zero.");
    }
    if (i > 0 && !(x[i] > x[i - 1])) {
      return R::Refused(LineError::NotAscending, "The wavelengths must increase from sample to sample.");
    }
  }

  LineData line;
  std::vector<std::size_t> inLine;
  for (std::size_t i = 0; i < size; ++i) {
    if (x[i] >= request.line.min && x[i] <= request.line.max) inLine.push_back(i);
  }
  if (inLine.size() < 5) {
    return R::Refused(LineError::TooFewSamples, "The line region must hold at least 5 samples.");
  }

  // The continuum's samples: its regions, or the line region's ends.
  std::vector<bool> use(size, false);
  if (request.continuum) {
    for (const auto& region : *request.continuum) {
      for (std::size_t i = 0; i < size; ++i) use[i] = use[i] || (x[i] >= region.min && x[i] <= region.max);
    }
  } else {
    for (std::size_t k = 0; k < static_cast<std::size_t>(kEndSamples); ++k) {
      use[inLine[k]] = true;
      use[inLine[inLine.size() - 1 - k]] = true;
    }
  }
  const auto used = static_cast<std::size_t>(std::count(use.begin(), use.end(), true));
  if (used < 3)
    return R::Refused(LineError::TooFewSamples, "The continuum regions must hold at least 3 samples.");

  std::vector<double> weights;
  if (!request.noise.empty()) {
    for (double s : request.noise) weights.push_back(1 / (s * s));
  }
  std::vector<double> covariance;
  auto continuum = FitPolynomial(x, f, use, 1, weights, &covariance);
  if (!continuum) {
    return R::Refused(LineError::TooFewSamples, "The continuum regions must span more than one wavelength.");
  }
  double noise = 0;
  if (request.noise.empty()) {
    double sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
      if (use[i]) sum += (f[i] - (*continuum)(x[i])) * (f[i] - (*continuum)(x[i]));
    }
    noise = std::sqrt(sum / static_cast<double>(used - 2));
    // Scatter at the level of rounding is no noise to weigh the samples by.
    double level = 0;
    for (std::size_t i = 0; i < size; ++i) level = use[i] ? std::max(level, std::abs(f[i])) : level;
    if (!(noise > 1e-12 * level) || !std::isfinite(noise)) {
      return R::Refused(LineError::NoNoise,
                        "The continuum shows no scatter to estimate the noise from; give the noise.");
    }
    for (double& c : covariance) c *= noise * noise;
  }

  for (std::size_t i : inLine) {
    const double left = i > 0 ? (x[i] - x[i - 1]) / 2 : (i + 1 < size ? (x[i + 1] - x[i]) / 2 : 0.5);
    const double right = i + 1 < size ? (x[i + 1] - x[i]) / 2 : left;
    line.x.push_back(x[i]);
    line.f.push_back(f[i]);
    line.sigma.push_back(request.noise.empty() ? noise : request.noise[i]);
    line.width.push_back(i > 0 ? left + right : 2 * right);
  }

  const Sums sums = DirectSums(line, line.f, *continuum);
  const auto noLine = [] {
    return R::Refused(LineError::NoLine,
                      "No line stands above or below the continuum in the line region by 3 times its noise.");
  };
  if (!(sums.flux != 0) || !AllFinite({sums.flux, sums.centroid, sums.equivalentWidth})) return noLine();
  const Sums errors = SumErrors(line, *continuum, covariance);
  // Flux within three of its uncertainties of none is noise, not a line.
  if (!(std::fabs(sums.flux) >= 3 * errors.flux)) return noLine();

  // The fit starts from the extreme sample on the line's side and its moment width.
  std::vector<double> residual(line.x.size());
  std::size_t extreme = 0;
  for (std::size_t i = 0; i < line.x.size(); ++i) {
    residual[i] = line.f[i] - (*continuum)(line.x[i]);
    if (residual[i] * (sums.flux > 0 ? 1 : -1) > residual[extreme] * (sums.flux > 0 ? 1 : -1)) extreme = i;
  }
  const double span = line.x.back() - line.x.front();
  double startWidth = std::isfinite(sums.momentFwhm) ? sums.momentFwhm : span / 4;
  startWidth = std::clamp(startWidth, 2 * span / static_cast<double>(line.x.size()), span);
  const auto fit = FitProfile(request.profile, line.x, residual, line.sigma,
                              {residual[extreme], line.x[extreme], startWidth, 0.5});
  // A centre pressed against the region's edge is a slope, not a line.
  if (!fit || fit->best.centre < line.x.front() + line.width.front() / 2 ||
      fit->best.centre > line.x.back() - line.width.back() / 2) {
    return R::Refused(LineError::FitFailed,
                      "The line's profile could not be fitted; choose a region around one line.");
  }

  R out;
  out.centroid = {sums.centroid, errors.centroid};
  out.centre = {fit->best.centre, fit->error.centre};
  out.fwhm = {fit->best.fwhm, fit->error.fwhm};
  out.momentFwhm = std::isfinite(sums.momentFwhm) ? Estimate{sums.momentFwhm, errors.momentFwhm} : Estimate{};
  out.peak = {fit->best.amplitude, fit->error.amplitude};
  out.lorentzFraction = {fit->best.lorentzFraction, fit->error.lorentzFraction};
  out.flux = {sums.flux, errors.flux};
  // The equivalent width needs a continuum clearly above zero all along the line.
  bool clearContinuum = sums.positiveContinuum;
  for (double at : line.x) {
    const double t = (at - continuum->centre) / continuum->halfWidth;
    const double variance = covariance[0] + 2 * t * covariance[1] + t * t * covariance[3];
    clearContinuum = clearContinuum && (*continuum)(at) > 3 * std::sqrt(std::max(variance, 0.0));
  }
  if (clearContinuum) out.equivalentWidth = Estimate{sums.equivalentWidth, errors.equivalentWidth};
  double snr = 0;
  for (std::size_t i = 0; i < line.x.size(); ++i) snr += line.f[i] / line.sigma[i];
  const auto n = static_cast<double>(line.x.size());
  out.snr = {snr / n, 1 / std::sqrt(n)};
  out.noise = noise;
  out.continuumAtCentre = (*continuum)(fit->best.centre);
  out.continuumSlope = continuum->coefficients.size() > 1 ? continuum->coefficients[1] / continuum->halfWidth : 0;
  out.samples = static_cast<int>(line.x.size());
  if (!AllFinite({out.centroid.error, out.flux.error, out.momentFwhm.value, out.momentFwhm.error,
                  out.continuumAtCentre, out.snr.value}) ||
      (out.equivalentWidth && !std::isfinite(out.equivalentWidth->error))) {
    return noLine();
  }
  return out;
}

}  // namespace lxr4
