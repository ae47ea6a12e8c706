// The instrument response: a hot star with Balmer lines and telluric bands
// observed through a known response, its curve made against its smooth
// reference, a cool star divided by that curve; spectra divided by a known
// curve; the refusals; the curve's CSV read back as a spectrum.
#include "measure/response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>

#include "imagefile/spectrum_reader.h"

namespace lxr4 {
namespace {

// Planck's law in wavelength, up to a constant; hc/k = 1.4388e8 A K.
double Planck(double x, double kelvin) {
  return std::pow(x / 5000, -5) / std::expm1(1.4388e8 / (x * kelvin));
}

// The instrument: a hump falling by a factor 5 from 5650 A to 3800 and 7500 A, with a 5 % ripple.
double Instrument(double x) {
  return std::exp(-0.5 * std::pow((x - 5650) / 1031, 2)) * (1 + 0.05 * std::sin(x / 400));
}

// The air: the O2 B band and an H2O band, each a comb of lines.
double Telluric(double x) {
  if (x >= 6867 && x <= 6920) return 1 - 0.4 * (0.5 + 0.5 * std::sin(x * 0.9));
  return x >= 7160 && x <= 7340 ? 1 - 0.2 * (0.5 + 0.5 * std::sin(x * 0.9)) : 1;
}

// Absorption lines with Lorentzian cores: {centre, depth, half-width} in Angstrom.
double Lines(double x, std::initializer_list<std::array<double, 3>> lines) {
  double f = 1;
  for (const auto& [centre, depth, width] : lines) f *= 1 - depth / (1 + std::pow((x - centre) / width, 2));
  return f;
}

// A 10000 K star with the Balmer series to H9 and He I 4471; a 5000 K star with
// Ca II H and K, the G band, Mg b, Na D and narrow Balmer lines.
double HotStar(double x) {
  return Planck(x, 10000) * Lines(x, {{6562.8, 0.55, 6},
                                      {4861.3, 0.6, 6},
                                      {4340.5, 0.6, 5},
                                      {4101.7, 0.6, 5},
                                      {3970.1, 0.55, 4},
                                      {3889.1, 0.5, 3},
                                      {3835.4, 0.45, 2.5},
                                      {4471.5, 0.1, 2}});
}
double CoolStar(double x) {
  return Planck(x, 5000) * Lines(x, {{3933.7, 0.8, 4},
                                     {3968.5, 0.8, 4},
                                     {4307.9, 0.4, 8},
                                     {4861.3, 0.3, 2},
                                     {5167.3, 0.4, 1.5},
                                     {5172.7, 0.5, 1.5},
                                     {5183.6, 0.5, 1.5},
                                     {5890.0, 0.6, 1},
                                     {5895.9, 0.5, 1},
                                     {6562.8, 0.35, 2}});
}

struct Samples {
  std::vector<double> x, y;
};

// `star` through the air and the instrument, with noise of 0.5 % of the counts.
Samples Observe(double (*star)(double), double from, double to, double step, std::uint64_t seed) {
  Samples o;
  std::mt19937_64 random(seed);
  std::normal_distribution<double> normal(0, 0.005);
  for (double x = from; x <= to; x += step) {
    o.x.push_back(x);
    o.y.push_back(2e4 * star(x) * Telluric(x) * Instrument(x) * (1 + normal(random)));
  }
  return o;
}

// The hot star's curve from 3800-7500 A at 2 A, with its reference: the
// continuum alone (a table too coarse for the lines), every 25 A from red to
// blue, in erg/s/cm2/A.
ResponseCurve HotCurve(bool maskLines) {
  const Samples hot = Observe(HotStar, 3800, 7500, 2, 1);
  Samples reference;
  for (double x = 7700; x >= 3600; x -= 25) {
    reference.x.push_back(x);
    reference.y.push_back(3e-13 * Planck(x, 10000));
  }
  auto r = MakeResponse(hot.x, hot.y, reference.x, reference.y, {100, maskLines});
  EXPECT_TRUE(r.ok()) << r.message;
  return r;
}

// `n` wavelengths from `from`, `step` apart.
std::vector<double> Ramp(double from, double step, int n) {
  std::vector<double> x;
  for (int i = 0; i < n; ++i) x.push_back(from + step * i);
  return x;
}

double Percentile(std::vector<double> v, double fraction) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(fraction * static_cast<double>(v.size() - 1))];
}

// |a/f(x) - 1| at every sample once both are scaled to a median of 1.
std::vector<double> RelativeErrors(std::span<const double> x, std::span<const double> a,
                                   double (*f)(double)) {
  std::vector<double> ratio(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) ratio[i] = a[i] / f(x[i]);
  const double m = Percentile(ratio, 0.5);
  for (double& r : ratio) r = std::abs(r / m - 1);
  return ratio;
}

TEST(Response, ACoolStarDividedByAHotStarsCurveHasItsTrueShape) {
  const ResponseCurve curve = HotCurve(true);
  ASSERT_EQ(curve.wavelength.size(), 1851u);
  EXPECT_EQ(curve.wavelength.back(), 7500);
  EXPECT_NEAR(Percentile(curve.response, 0.5), 1, 1e-12);
  const auto curveErrors = RelativeErrors(curve.wavelength, curve.response, Instrument);

  // Observed 100 A further out at each end than the hot star, at another step.
  const Samples cool = Observe(CoolStar, 3700, 7600, 1.7, 2);
  const auto recovered = ApplyResponse(curve, cool.x, cool.y);
  ASSERT_TRUE(recovered.ok()) << recovered.message;
  EXPECT_EQ(recovered.note, "118 samples outside the response's 3800.0-7500.0 A were left out.");
  const auto errors = RelativeErrors(recovered.wavelength, recovered.flux,
                                     [](double x) { return CoolStar(x) * Telluric(x); });
  std::printf("curve against the instrument: median %.4f, 95th percentile %.4f, largest %.4f\n",
              Percentile(curveErrors, 0.5), Percentile(curveErrors, 0.95), Percentile(curveErrors, 1));
  std::printf("cool star recovered: median %.4f, 95th percentile %.4f, largest %.4f\n",
              Percentile(errors, 0.5), Percentile(errors, 0.95), Percentile(errors, 1));
  EXPECT_LT(Percentile(curveErrors, 0.95), 0.01);
  // 0.5 % noise alone gives a median of 0.34 % and a 95th percentile of 1 %.
  EXPECT_LT(Percentile(errors, 0.5), 0.02);
  EXPECT_LT(Percentile(errors, 0.95), 0.02);

  // H-delta's core (4101.7 A): masked and bridged, or pulled down by the line when not masked.
  const ResponseCurve plain = HotCurve(false);
  const auto at = static_cast<std::size_t>((4101.7 - 3800) / 2);
  EXPECT_TRUE(curve.masked[at] && !plain.masked[at]);
  const double unmasked = RelativeErrors(plain.wavelength, plain.response, Instrument)[at];
  std::printf("at H-delta: masked %.4f, not masked %.4f\n", curveErrors[at], unmasked);
  EXPECT_LT(curveErrors[at], 0.015);  // the neighbours' wings still pull the bridge's ends down a little
  EXPECT_GT(unmasked, 3 * curveErrors[at]);
}

TEST(Response, TheCurveStopsWhereTheCameraSeesNothing) {
  // Counts of 0 below 4500 A, 100 from there on, on a flat reference.
  const std::vector<double> w = Ramp(4000, 5, 401), rw{4000, 6000}, rf{2, 2};
  std::vector<double> c;
  for (double x : w) c.push_back(x < 4500 ? 0 : 100);
  const auto r = MakeResponse(w, c, rw, rf, {100, false});
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_GT(r.wavelength.front(), 4400);
  EXPECT_LT(r.wavelength.front(), 4500);
  EXPECT_EQ(r.wavelength.back(), 6000);
  EXPECT_TRUE(std::all_of(r.response.begin(), r.response.end(), [](double v) { return v >= 0.01; }));
  EXPECT_NEAR(r.response.back(), 1, 0.01);
}

TEST(Response, TheWindowsHoldTheLinesAndBands) {
  const auto windows = ResponseMaskWindows();
  for (double line :
       {6562.8, 4861.3, 4340.5, 4101.7, 3970.1, 3889.1, 3835.4, 4471.5, 5875.6, 6678.2, 3933.7,
        3968.5, 5890.0, 5895.9, 5172.7, 7620.0, 6880.0, 7250.0, 8200.0, 9500.0, 8665.0, 9229.0}) {
    EXPECT_TRUE(std::any_of(windows.begin(), windows.end(), [line](const MaskWindow& w) {
      return line >= w.min && line <= w.max;
    })) << line;
  }
  for (std::size_t i = 1; i < windows.size(); ++i) EXPECT_LE(windows[i - 1].min, windows[i].min) << i;
}

TEST(Response, ASpectrumIsDividedByTheCurveInsideItsRangeOnly) {
  const ResponseCurve curve{{4000, 5000, 6000}, {0.5, 1, 2}, {false, false, false}};
  // Falling wavelengths, one each side beyond the curve, one on a point, two between.
  const std::vector<double> w{6500, 6000, 5500, 4500, 4000, 3500}, c{9, 8, 6, 3, 1, 9};
  const auto r = ApplyResponse(curve, w, c);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_EQ(r.wavelength, (std::vector<double>{6000, 5500, 4500, 4000}));
  const std::vector<double> expected{4, 6 / 1.5, 3 / 0.75, 2};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(r.flux[i], expected[i], 1e-12) << i;
  EXPECT_EQ(r.leftOut, 2u);
  EXPECT_EQ(r.note, "2 samples outside the response's 4000.0-6000.0 A were left out.");
  const std::vector<double> inside{4000, 6000}, two{1, 1};
  const auto all = ApplyResponse(curve, inside, two);
  EXPECT_EQ(all.leftOut, 0u);
  EXPECT_EQ(all.note, "");
}

TEST(Response, RefusalsNameTheirCause) {
  constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<double> w = Ramp(5000, 10, 50), c(50, 100.0), rw{4000, 6000}, rf{1, 1}, zero{1, 0};
  const std::vector<double> nan{1, kNan}, huge(50, 1e300), tiny{1e-300, 1e-300}, narrow{5000, 5080};
  const std::vector<double> none(50, 0.0), repeated{4000, 4000}, toEnd{4000, 5490};
  // 7150..7345 A: all but three samples inside the H2O band.
  const std::vector<double> band = Ramp(7150, 5, 40), bandReference{7000, 8000};
  std::vector<double> unordered = w;
  std::swap(unordered[3], unordered[4]);
  const auto smoothing = [](double s, bool mask = false) { return ResponseOptions{s, mask}; };
  struct Case {
    const char* name;
    std::span<const double> w, c, rw, rf;
    ResponseOptions options;
    ResponseError error;
  };
  const std::span<const double> s = w, cs = c;
  const Case cases[] = {
      {"fine: 490 A at 10 A, smoothing 160", s, cs, rw, rf, smoothing(160), ResponseError::None},
      {"one count short", s, cs.first(49), rw, rf, smoothing(160), ResponseError::SizeMismatch},
      {"a NaN flux", s, cs, rw, nan, smoothing(160), ResponseError::NotFinite},
      {"smoothing 0", s, cs, rw, rf, smoothing(0), ResponseError::BadSmoothing},
      {"smoothing NaN", s, cs, rw, rf, smoothing(kNan), ResponseError::BadSmoothing},
      {"fine: smoothing over 3 samples", s, cs, rw, rf, smoothing(30), ResponseError::None},
      {"smoothing under 3 samples", s, cs, rw, rf, smoothing(29.9), ResponseError::BadSmoothing},
      {"a quotient beyond a number", s, huge, rw, tiny, smoothing(160), ResponseError::NotFinite},
      {"unordered samples", unordered, cs, rw, rf, smoothing(160), ResponseError::NotMonotonic},
      {"a repeated reference wavelength", s, cs, repeated, rf, smoothing(160), ResponseError::NotMonotonic},
      {"490 A under 3 x 170 A", s, cs, rw, rf, smoothing(170), ResponseError::TooLittleOverlap},
      {"9 samples in the reference", s, cs, narrow, rf, smoothing(10), ResponseError::TooLittleOverlap},
      {"fine: the band unmasked", band, cs.first(40), bandReference, rf, smoothing(50), ResponseError::None},
      {"the band masked", band, cs.first(40), bandReference, rf, smoothing(50, true),
       ResponseError::TooLittleOverlap},
      {"a reference reaching 0", s, cs, toEnd, zero, smoothing(160), ResponseError::ReferenceNotPositive},
      {"no counts", s, none, rw, rf, smoothing(160), ResponseError::NoSignal},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const auto r = MakeResponse(k.w, k.c, k.rw, k.rf, k.options);
    EXPECT_EQ(r.error, k.error) << r.message;
    EXPECT_EQ(r.message.empty(), k.error == ResponseError::None);
  }
}

TEST(Response, ApplyingRefusesABadCurveOrSpectrum) {
  const ResponseCurve good{{4000, 5000}, {1, 1}, {}}, one{{4000}, {1}, {}}, dark{{4000, 5000}, {1, 0}, {}};
  const ResponseCurve backwards{{5000, 4000}, {1, 1}, {}}, faint{{4000, 5000}, {1e-300, 1e-300}, {}};
  const std::vector<double> huge{1e300, 1e300};
  const std::vector<double> w{4500, 4600}, c{1, 1}, nan{1, std::numeric_limits<double>::quiet_NaN()},
      far{7000, 8000};
  struct Case {
    const char* name;
    const ResponseCurve& curve;
    std::span<const double> w, c;
    ResponseError error;
  };
  const Case cases[] = {
      {"fine", good, w, c, ResponseError::None},
      {"a count short", good, w, std::span<const double>(c).first(1), ResponseError::SizeMismatch},
      {"a NaN count", good, w, nan, ResponseError::NotFinite},
      {"a quotient beyond a number", faint, w, huge, ResponseError::NotFinite},
      {"a curve of one point", one, w, c, ResponseError::BadCurve},
      {"a curve reaching 0", dark, w, c, ResponseError::BadCurve},
      {"a curve not rising", backwards, w, c, ResponseError::BadCurve},
      {"a spectrum beyond the curve", good, far, c, ResponseError::OutsideCurve},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const auto r = ApplyResponse(k.curve, k.w, k.c);
    EXPECT_EQ(r.error, k.error) << r.message;
    EXPECT_EQ(r.message.empty(), k.error == ResponseError::None);
  }
}

TEST(Response, TheFileReadsBackAsASpectrumOfTheSameNumbers) {
  const ResponseCurve curve{{3800.25, 4000.1, 5000}, {1.0 / 3, 0.1 + 0.2, 1e-3 / 7}, {}};
  const std::string text = ResponseFileText(curve);
  EXPECT_EQ(text.substr(0, text.find(',', 30)), "wavelength_angstrom,response\n3800.25");
  const auto read = ReadSpectrumFile(
      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), "response.csv", "");
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_EQ(read.wavelength, curve.wavelength);
  EXPECT_EQ(read.flux, curve.response);
}

}  // namespace
}  // namespace lxr4
