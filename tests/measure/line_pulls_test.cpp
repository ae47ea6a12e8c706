// The stated uncertainties of the line measurement are honest: over many
// noise draws (fixed seed) the pulls (measured - true) / uncertainty of the
// centre, FWHM, equivalent width, centroid and flux have a mean near 0 and a
// standard deviation near 1.
#include <gtest/gtest.h>

#include <cmath>

#include "measure/line_measure.h"
#include "synthetic_line.h"

namespace lxr4 {
namespace {

using test::SyntheticLine;

constexpr int kDraws = 200;

struct Pulls {
  const char* name;
  double truth;
  double sum = 0, sumSquares = 0;
  void Add(Estimate e) {
    sum += (e.value - truth) / e.error;
    sumSquares += (e.value - truth) * (e.value - truth) / (e.error * e.error);
  }
  void Check() const {
    SCOPED_TRACE(name);
    const double mean = sum / kDraws;
    const double sd = std::sqrt(sumSquares / kDraws - mean * mean);
    EXPECT_LT(std::abs(mean), 0.2);
    EXPECT_GT(sd, 0.7);
    EXPECT_LT(sd, 1.3);
  }
};

// Draws the line `kDraws` times and checks the pulls of each measurement;
// `givenNoise` hands the true noise over, else it is estimated.
void CheckPulls(const SyntheticLine& line, double half, const std::array<WavelengthRegion, 2>& continuum,
                bool givenNoise, std::uint64_t seed) {
  const auto x = line.Wavelengths();
  const std::vector<double> noise(givenNoise ? x.size() : 0, line.noise);
  // Truths: the sums run over the bins of the region's samples, whose edges
  // lie half a sample beyond the first and last.
  const double lo = std::ceil((line.centre - half - line.first) / line.step) * line.step + line.first;
  const double hi = std::floor((line.centre + half - line.first) / line.step) * line.step + line.first;
  const double integral =
      line.LineIntegral(lo - line.step / 2 - line.centre, hi + line.step / 2 - line.centre);
  Pulls centre{"centre", line.centre}, fwhm{"fwhm", line.fwhm}, flux{"flux", integral},
      ew{"equivalent width", -integral / line.continuum}, centroid{"centroid", line.centre};
  std::mt19937_64 random(seed);
  for (int draw = 0; draw < kDraws; ++draw) {
    const auto f = line.Fluxes(&random);
    const auto r =
        MeasureLine({x, f, noise, {line.centre - half, line.centre + half}, continuum, line.profile});
    ASSERT_TRUE(r.ok()) << r.message;
    centre.Add(r.centre);
    fwhm.Add(r.fwhm);
    flux.Add(r.flux);
    ew.Add(*r.equivalentWidth);
    centroid.Add(r.centroid);
  }
  for (const Pulls* p : {&centre, &fwhm, &flux, &ew, &centroid}) p->Check();
}

TEST(LinePulls, GaussianAbsorptionWithNoiseFromTheContinuum) {
  SyntheticLine line;  // 0.5 A per sample, continuum 100, depth 40, FWHM 4 A
  line.centre = 6560.13;
  line.noise = 1.5;
  CheckPulls(line, 10, {WavelengthRegion{6480, 6540}, WavelengthRegion{6580, 6640}}, false, 1);
}

TEST(LinePulls, PseudoVoigtEmissionWithGivenNoise) {
  SyntheticLine line;
  line.first = 6400;
  line.samples = 600;
  line.profile = LineProfile::PseudoVoigt;
  line.lorentzFraction = 0.5;
  line.centre = 6549.77;
  line.fwhm = 3;
  line.height = 30;
  line.noise = 1;
  CheckPulls(line, 30, {WavelengthRegion{6400, 6470}, WavelengthRegion{6630, 6700}}, true, 2);
}

}  // namespace
}  // namespace lxr4
