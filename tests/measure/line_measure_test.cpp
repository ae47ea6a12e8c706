// Line measurement: known answers on noiseless synthetic lines, the refusals,
// and a velocity measured back from a shifted line.
#include "measure/line_measure.h"

#include <gtest/gtest.h>

#include <limits>

#include "measure/profile_fit.h"
#include "measure/velocity.h"
#include "synthetic_line.h"

namespace lxr4 {
namespace {

using test::SyntheticLine;
using Regions = std::array<WavelengthRegion, 2>;

TEST(LineMeasure, NoiselessGaussianGivesItsCentreWidthsAndEquivalentWidth) {
  SyntheticLine line;  // an absorption 40 % deep, as a fraction of a sloping continuum
  line.centre = 6560.37;
  line.slope = 0.02;
  line.height = 0;
  const auto x = line.Wavelengths();
  auto f = line.Fluxes();
  for (std::size_t i = 0; i < x.size(); ++i)
    f[i] *= 1 - 0.4 * LineShape(LineProfile::Gaussian, x[i] - line.centre, 4, 0);
  const std::vector<double> noise(x.size(), 1e-6);
  const auto r = MeasureLine({x, f, noise, {6546.37, 6574.37}, Regions{{{6480, 6536}, {6584, 6640}}}});
  ASSERT_TRUE(r.ok()) << r.message;
  line.height = -0.4;
  EXPECT_NEAR(r.centre.value, line.centre, 2e-3);  // Angstrom; the slope tilts the profile slightly
  EXPECT_NEAR(r.centroid.value, line.centre, 2e-3);
  EXPECT_NEAR(r.fwhm.value, 4, 1e-3);
  EXPECT_NEAR(r.momentFwhm.value, 4, 2e-3);
  EXPECT_NEAR(r.peak.value, -40, 0.05);
  EXPECT_LT(r.flux.value, 0);
  ASSERT_TRUE(r.equivalentWidth.has_value());
  EXPECT_NEAR(r.equivalentWidth->value, -line.LineIntegral(-14.25, 14.25), 1e-6);  // absorption: positive
}

TEST(ProfileFit, EachProfileFitsItsOwnLine) {
  // Noiseless lines on a zero continuum (a Lorentzian's wings reach into any
  // continuum region): the fit gives each parameter back.
  for (auto [profile, eta] : {std::pair{LineProfile::Gaussian, 0.0}, std::pair{LineProfile::Lorentzian, 1.0},
                              std::pair{LineProfile::PseudoVoigt, 0.35}}) {
    SCOPED_TRACE(eta);
    std::vector<double> x, y;
    for (double w = 6530; w <= 6590; w += 0.5) {
      x.push_back(w);
      y.push_back(60 * LineShape(profile, w - 6559.81, 4, eta));
    }
    const std::vector<double> sigma(x.size(), 0.1);
    const auto fit = FitProfile(profile, x, y, sigma, {50, 6559, 6, 0.5});
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->best.centre, 6559.81, 1e-6);
    EXPECT_NEAR(fit->best.fwhm, 4, 1e-6);
    EXPECT_NEAR(fit->best.amplitude, 60, 1e-5);
    EXPECT_NEAR(fit->best.lorentzFraction, eta, 1e-6);
  }
}

TEST(LineMeasure, TheRegionsEndsSetTheContinuumWhenNoRegionsAreGiven) {
  SyntheticLine line;
  line.slope = -0.05;
  const auto x = line.Wavelengths();
  const auto f = line.Fluxes();
  const std::vector<double> noise(x.size(), 1e-6);
  const auto r = MeasureLine({x, f, noise, {6544, 6576}, std::nullopt});
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_NEAR(r.centre.value, line.centre, 1e-6);
  EXPECT_NEAR(r.continuumAtCentre, 100, 1e-3);  // the wings 4 FWHM out are below 1e-9 of the depth
  EXPECT_NEAR(r.flux.value, line.LineIntegral(-16.25, 16.25), 1e-3);
}

TEST(LineMeasure, AContinuumAtZeroGivesNoEquivalentWidth) {
  SyntheticLine line;
  line.continuum = 0;
  line.height = 60;
  const auto x = line.Wavelengths();
  const auto f = line.Fluxes();
  const std::vector<double> noise(x.size(), 0.1);
  const auto r = MeasureLine({x, f, noise, {6546, 6574}, Regions{{{6480, 6536}, {6584, 6640}}}});
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_FALSE(r.equivalentWidth.has_value());
  EXPECT_NEAR(r.flux.value, line.LineIntegral(-14.25, 14.25), 1e-9);
}

TEST(LineMeasure, AShiftedLineGivesItsVelocityBack) {
  // A line 3 samples wide at 1 Angstrom a sample, moved by known velocities,
  // with noise of 1/500 of the continuum: within 0.5 km/s.
  for (double kms : {-180.0, -12.5, 0.0, 37.5, 410.0}) {
    SCOPED_TRACE(kms);
    const double observed = ShiftByVelocity(std::vector<double>{6562.8}, kms).wavelengths[0];
    SyntheticLine line{6450, 1, 230, 100, 0, observed, 3, -50};
    line.noise = 0.2;
    std::mt19937_64 random(11);
    const auto x = line.Wavelengths();
    const auto f = line.Fluxes(&random);
    const auto r = MeasureLine(
        {x, f, {}, {observed - 10, observed + 10}, Regions{{{6450, observed - 20}, {observed + 20, 6680}}}});
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_NEAR(DopplerVelocity(r.centre.value, 6562.8).kms, kms, 0.5);
  }
}

TEST(LineMeasure, RefusalsNameTheirCause) {
  const SyntheticLine line;
  const auto x = line.Wavelengths();
  const auto f = line.Fluxes();
  const std::vector<double> noise(x.size(), 0.5), shortNoise(x.size() - 1, 0.5), flat(x.size(), 100.0);
  const WavelengthRegion region{6546, 6574};
  const Regions cont{{{6480, 6530}, {6590, 6640}}};
  auto nan = f, zeroNoise = noise, unordered = x, ramp = flat, bump = flat;
  nan[40] = std::numeric_limits<double>::quiet_NaN();
  zeroNoise[3] = 0;
  std::swap(unordered[10], unordered[11]);
  // A rise across the line region: the best profile sits on its last sample.
  for (std::size_t i = 0; i < x.size(); ++i) ramp[i] += x[i] >= 6546 && x[i] <= 6574 ? 3 * (x[i] - 6546) : 0;
  // One sample 1 sigma up: its flux is within its noise.
  for (std::size_t i = 0; i < x.size(); ++i) bump[i] += x[i] == 6560 ? 0.5 : 0;
  struct Case {
    const char* name;
    LineRequest request;
    LineError error;
  };
  const Case cases[] = {
      {"noise of another length", {x, f, shortNoise, region, cont}, LineError::SizeMismatch},
      {"a NaN flux", {x, nan, noise, region, cont}, LineError::NotFinite},
      {"a zero noise", {x, f, zeroNoise, region, cont}, LineError::NotFinite},
      {"unordered wavelengths", {unordered, f, noise, region, cont}, LineError::NotAscending},
      {"4 samples in the line region", {x, f, noise, {6560, 6561.5}, cont}, LineError::TooFewSamples},
      {"5 samples in the line region: enough", {x, f, noise, {6559, 6561}, cont}, LineError::None},
      {"2 samples in the continuum",
       {x, f, noise, region, Regions{{{6480, 6480}, {6640, 6641}}}},
       LineError::TooFewSamples},
      {"a noiseless continuum, no noise given", {x, flat, {}, region, cont}, LineError::NoNoise},
      {"nothing but the continuum", {x, flat, noise, region, cont}, LineError::NoLine},
      {"a ramp", {x, ramp, noise, region, cont}, LineError::FitFailed},
      {"a bump within the noise", {x, bump, noise, region, cont}, LineError::NoLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = MeasureLine(c.request);
    EXPECT_EQ(r.error, c.error) << r.message;
    EXPECT_EQ(r.message.empty(), c.error == LineError::None);
  }
}

}  // namespace
}  // namespace lxr4
