// Line measurement: known answers on noiseless synthetic lines, the sign
// conventions, the refusals, and a velocity measured back from a shifted line.
#include "measure/line_measure.h"

#include <gtest/gtest.h>

#include <limits>

#include "measure/profile_fit.h"
#include "measure/velocity.h"
#include "synthetic_line.h"

namespace lxr4 {
namespace {

using test::SyntheticLine;

struct Measured {
  std::vector<double> x, f, noise;
  Result<LineError, LineMeasurement> result;
};

// Measures `line` with the given per-sample noise (a tiny one for a noiseless
// spectrum), the line region +-`half` Angstrom and continuum regions beyond.
Measured Measure(const SyntheticLine& line, double half, double noise, bool regions = true) {
  Measured m;
  m.x = line.Wavelengths();
  m.f = line.Fluxes();
  m.noise.assign(m.x.size(), noise);
  LineRequest request{m.x,          m.f,         m.noise, {line.centre - half, line.centre + half},
                      std::nullopt, line.profile};
  if (regions) {
    request.continuum =
        std::array<WavelengthRegion, 2>{WavelengthRegion{m.x.front(), line.centre - half - 10},
                                        WavelengthRegion{line.centre + half + 10, m.x.back()}};
  }
  m.result = MeasureLine(request);
  return m;
}

TEST(LineMeasure, NoiselessGaussianGivesItsCentreWidthAndWidths) {
  SyntheticLine line;
  line.centre = 6560.37;
  line.slope = 0.02;
  line.height = 0;  // the line is drawn below as a fraction of the sloping continuum
  const double depth = 0.4;
  const auto x = line.Wavelengths();
  auto f = line.Fluxes();
  for (std::size_t i = 0; i < x.size(); ++i) {
    f[i] *= 1 - depth * LineShape(LineProfile::Gaussian, x[i] - line.centre, line.fwhm, 0);
  }
  const std::vector<double> noise(x.size(), 1e-6);
  const auto r = MeasureLine(
      {x,
       f,
       noise,
       {line.centre - 14, line.centre + 14},
       std::array<WavelengthRegion, 2>{WavelengthRegion{6480, 6536}, WavelengthRegion{6584, 6640}}});
  ASSERT_TRUE(r.ok()) << r.message;
  line.height = -depth;
  const double ew = -line.LineIntegral(-14.25, 14.25);  // the bins of the region's samples
  EXPECT_NEAR(r.centre.value, line.centre, 2e-3);       // Angstrom; the slope tilts the profile slightly
  EXPECT_NEAR(r.centroid.value, line.centre, 2e-3);
  EXPECT_NEAR(r.fwhm.value, line.fwhm, 1e-3);
  EXPECT_NEAR(r.momentFwhm.value, line.fwhm, 2e-3);
  ASSERT_TRUE(r.equivalentWidth.has_value());
  EXPECT_NEAR(r.equivalentWidth->value, ew, 1e-6);
  EXPECT_GT(r.equivalentWidth->value, 0);  // absorption: positive
  EXPECT_LT(r.flux.value, 0);
  EXPECT_NEAR(r.peak.value, -depth * 100, 0.05);
  EXPECT_NEAR(r.continuumAtCentre, 100, 1e-4);  // at the fitted centre, on the slope
}

TEST(ProfileFit, EachProfileFitsItsOwnLine) {
  // Noiseless lines above a zero continuum (the Lorentzian's wings reach far
  // into any continuum region): the fit gives each parameter back.
  struct Case {
    const char* name;
    LineProfile profile;
    double eta;
  };
  for (const Case& c :
       {Case{"gaussian", LineProfile::Gaussian, 0.0}, Case{"lorentzian", LineProfile::Lorentzian, 1.0},
        Case{"pseudo-voigt", LineProfile::PseudoVoigt, 0.35}}) {
    SCOPED_TRACE(c.name);
    std::vector<double> x, y;
    for (double w = 6530; w <= 6590; w += 0.5) {
      x.push_back(w);
      y.push_back(60 * LineShape(c.profile, w - 6559.81, 4, c.eta));
    }
    const std::vector<double> sigma(x.size(), 0.1);
    const auto fit = FitProfile(c.profile, x, y, sigma, {50, 6559, 6, 0.5});
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->best.centre, 6559.81, 1e-6);
    EXPECT_NEAR(fit->best.fwhm, 4, 1e-6);
    EXPECT_NEAR(fit->best.amplitude, 60, 1e-5);
    EXPECT_NEAR(fit->best.lorentzFraction, c.eta, 1e-6);
    EXPECT_GT(fit->error.centre, 0);
  }
}

TEST(LineMeasure, EmissionHasANegativeEquivalentWidth) {
  SyntheticLine line;
  line.height = 60;
  const auto m = Measure(line, 14, 0.1);
  ASSERT_TRUE(m.result.ok()) << m.result.message;
  EXPECT_GT(m.result.flux.value, 0);
  EXPECT_GT(m.result.peak.value, 0);
  ASSERT_TRUE(m.result.equivalentWidth.has_value());
  EXPECT_NEAR(m.result.equivalentWidth->value, -line.LineIntegral(-14.25, 14.25) / 100, 1e-9);
}

TEST(LineMeasure, AContinuumAtZeroGivesNoEquivalentWidth) {
  SyntheticLine line;
  line.continuum = 0;
  line.height = 60;
  const auto m = Measure(line, 14, 0.1);
  ASSERT_TRUE(m.result.ok()) << m.result.message;
  EXPECT_FALSE(m.result.equivalentWidth.has_value());
  EXPECT_NEAR(m.result.flux.value, line.LineIntegral(-14.25, 14.25), 1e-9);
}

TEST(LineMeasure, WithoutContinuumRegionsTheRegionsEndsSetTheContinuum) {
  SyntheticLine line;
  line.slope = -0.05;
  const auto m = Measure(line, 16, 1e-6, false);
  ASSERT_TRUE(m.result.ok()) << m.result.message;
  EXPECT_NEAR(m.result.centre.value, line.centre, 1e-6);
  EXPECT_NEAR(m.result.continuumAtCentre, line.continuum,
              1e-3);  // the wings 4 FWHM out are below 1e-9 of the depth
  EXPECT_NEAR(m.result.flux.value, line.LineIntegral(-16.25, 16.25), 1e-3);
}

TEST(LineMeasure, NoiseIsEstimatedFromTheContinuumScatter) {
  SyntheticLine line;
  line.noise = 2;
  std::mt19937_64 random(7);
  const auto x = line.Wavelengths();
  const auto f = line.Fluxes(&random);
  const auto r = MeasureLine(
      {x,
       f,
       {},
       {6546, 6574},
       std::array<WavelengthRegion, 2>{WavelengthRegion{6480, 6530}, WavelengthRegion{6590, 6640}}});
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_NEAR(r.noise, 2, 0.3);  // 200 samples: the estimate is good to about 5 %
  EXPECT_NEAR(r.snr.value, 100 / 2.0, 10);
}

TEST(LineMeasure, AShiftedLineGivesItsVelocityBack) {
  // A line at 1 Angstrom per sample, moved by known velocities: its fitted
  // centre gives each velocity within 0.5 km/s.
  for (double kms : {-180.0, -12.5, 0.0, 37.5, 410.0}) {
    SCOPED_TRACE(kms);
    const double rest = 6562.80;
    const double observed = ShiftByVelocity(std::vector<double>{rest}, kms).wavelengths[0];
    SyntheticLine line;
    line.first = 6450;
    line.step = 1;
    line.samples = 230;
    line.centre = observed;
    line.fwhm = 3;
    line.height = -50;
    line.noise = 0.2;
    std::mt19937_64 random(11);
    const auto x = line.Wavelengths();
    const auto f = line.Fluxes(&random);
    const auto r = MeasureLine({x,
                                f,
                                {},
                                {observed - 10, observed + 10},
                                std::array<WavelengthRegion, 2>{WavelengthRegion{6450, observed - 20},
                                                                WavelengthRegion{observed + 20, 6680}}});
    ASSERT_TRUE(r.ok()) << r.message;
    const auto v = DopplerVelocity(r.centre.value, rest);
    ASSERT_TRUE(v.ok());
    EXPECT_NEAR(v.kms, kms, 0.5);
  }
}

TEST(LineMeasure, RefusalsNameTheirCause) {
  SyntheticLine line;
  const auto x = line.Wavelengths();
  const auto f = line.Fluxes();
  const std::vector<double> noise(x.size(), 0.5);
  const WavelengthRegion region{6546, 6574};
  const auto cont =
      std::array<WavelengthRegion, 2>{WavelengthRegion{6480, 6530}, WavelengthRegion{6590, 6640}};

  auto shortNoise = noise;
  shortNoise.pop_back();
  auto nan = f;
  nan[40] = std::numeric_limits<double>::quiet_NaN();
  auto zeroNoise = noise;
  zeroNoise[3] = 0;
  auto unordered = x;
  std::swap(unordered[10], unordered[11]);
  const std::vector<double> flat(x.size(), 100.0);
  std::vector<double> flatNoisy = flat;
  for (std::size_t i = 0; i < flatNoisy.size(); ++i) flatNoisy[i] += (i % 2 ? 1 : -1);
  // The line region's samples but one form a straight rise: no profile
  // peaks inside it.
  std::vector<double> ramp(x.size(), 100.0);
  for (std::size_t i = 0; i < x.size(); ++i) ramp[i] += x[i] >= 6546 && x[i] <= 6574 ? 3 * (x[i] - 6546) : 0;

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
       {x, f, noise, region,
        std::array<WavelengthRegion, 2>{WavelengthRegion{6480, 6480}, WavelengthRegion{6640, 6641}}},
       LineError::TooFewSamples},
      {"a noiseless continuum, no noise given", {x, flat, {}, region, cont}, LineError::NoNoise},
      {"nothing but the continuum", {x, flat, noise, region, cont}, LineError::NoLine},
      {"a ramp", {x, ramp, noise, region, cont}, LineError::FitFailed},
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
