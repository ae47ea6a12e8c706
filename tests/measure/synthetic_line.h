// Synthetic spectra for the line measurement tests: a straight continuum and
// one line of a known profile sampled at each wavelength, with Gaussian noise
// from a seeded generator.
#pragma once

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "measure/line_measure.h"

namespace lxr4::test {

struct SyntheticLine {
  double first = 6480, step = 0.5;
  int samples = 320;
  double continuum = 100, slope = 0;  // at `centre`, and per Angstrom
  double centre = 6560, fwhm = 4;
  double height = -40;  // below zero for absorption
  LineProfile profile = LineProfile::Gaussian;
  double lorentzFraction = 0;
  double noise = 0;  // standard deviation per sample

  std::vector<double> Wavelengths() const {
    std::vector<double> x;
    for (int i = 0; i < samples; ++i) x.push_back(first + step * i);
    return x;
  }
  std::vector<double> Fluxes(std::mt19937_64* random = nullptr) const {
    std::normal_distribution<double> normal(0, noise);
    std::vector<double> f;
    for (double x : Wavelengths()) {
      const double line = height * LineShape(profile, x - centre, fwhm, lorentzFraction);
      f.push_back(continuum + slope * (x - centre) + line + (random ? normal(*random) : 0.0));
    }
    return f;
  }
  // The integral of the line from a to b Angstrom off its centre.
  double LineIntegral(double a, double b) const {
    const double s = fwhm / (2 * std::sqrt(2 * std::numbers::ln2)) * std::numbers::sqrt2;
    const double gauss = s * std::sqrt(std::numbers::pi) / 2 * (std::erf(b / s) - std::erf(a / s));
    const double lorentz = fwhm / 2 * (std::atan(2 * b / fwhm) - std::atan(2 * a / fwhm));
    const double eta = profile == LineProfile::Gaussian     ? 0
                       : profile == LineProfile::Lorentzian ? 1
                                                            : lorentzFraction;
    return height * (eta * lorentz + (1 - eta) * gauss);
  }
};

}  // namespace lxr4::test
