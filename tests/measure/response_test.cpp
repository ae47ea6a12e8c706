// The instrument response: a hot star with Balmer lines and telluric bands
// observed through a known response, the curve made from it and its smooth
// reference, a cool star divided by that curve; spectra divided by a known
// curve; the refusals; the curve's CSV read back as a spectrum.
#include "measure/response.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>

#include "imagefile/spectrum_reader.h"

namespace lxr4 {
namespace {

// Planck's law in wavelength, up to a constant; hc/k = 1.4388e8 A K.
double Planck(double angstrom, double kelvin) {
  return std::pow(angstrom / 5000, -5) / std::expm1(1.4388e8 / (angstrom * kelvin));
}

// The instrument: a hump falling by a factor 5 from 5650 A to 3800 and
// 7500 A, with a 5 % ripple.
double Instrument(double x) {
  return std::exp(-0.5 * std::pow((x - 5650) / 1031, 2)) * (1 + 0.05 * std::sin(x / 400));
}

// The air's bands, each a comb of absorption lines.
double Telluric(double x) {
  struct Band {
    double min, max, depth;
  };
  double t = 1;
  for (const Band b : {Band{6867, 6920, 0.4}, Band{7160, 7340, 0.2}}) {
    if (x >= b.min && x <= b.max) t *= 1 - b.depth * (0.5 + 0.5 * std::sin(x * 0.9));
  }
  return t;
}

struct Line {
  double centre, depth, width;  // Angstrom; a Lorentzian core of half-width `width`
};

double Lines(double x, std::initializer_list<Line> lines) {
  double f = 1;
  for (const Line& l : lines) f *= 1 - l.depth / (1 + std::pow((x - l.centre) / l.width, 2));
  return f;
}

// A 10000 K star: the Balmer series to H9, broad, and He I 4471.
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

// A 5000 K star: Ca II H and K, the G band, Mg b, Na D, narrow Balmer lines.
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

struct Observed {
  std::vector<double> wavelength, counts, truth;  // truth: the star's flux at the telescope
};

// `star` through the air and the instrument, with noise of 0.5 % of the counts.
Observed Observe(double (*star)(double), double from, double to, double step, std::uint64_t seed) {
  Observed o;
  std::mt19937_64 random(seed);
  std::normal_distribution<double> normal(0, 0.005);
  for (double x = from; x <= to; x += step) {
    const double arriving = star(x) * Telluric(x);
    o.wavelength.push_back(x);
    o.truth.push_back(arriving);
    o.counts.push_back(2e4 * arriving * Instrument(x) * (1 + normal(random)));
  }
  return o;
}

double Percentile(std::vector<double> v, double fraction) {
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(fraction * static_cast<double>(v.size() - 1))];
}

double Median(std::vector<double> v) { return Percentile(std::move(v), 0.5); }

// The hot star's tabulated reference: its continuum alone (a table too coarse
// for its lines), every 25 A from red to blue, in erg/s/cm2/A.
struct Reference {
  std::vector<double> wavelength, flux;
};

Reference HotReference() {
  Reference r;
  for (double x = 7700; x >= 3600; x -= 25) {
    r.wavelength.push_back(x);
    r.flux.push_back(3e-13 * Planck(x, 10000));
  }
  return r;
}

// |a/b - 1| at every sample once both are scaled to a median of 1.
std::vector<double> RelativeErrors(std::span<const double> a, std::span<const double> b) {
  std::vector<double> ratio(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) ratio[i] = a[i] / b[i];
  const double m = Median(ratio);
  for (double& r : ratio) r = std::abs(r / m - 1);
  return ratio;
}

TEST(Response, ACoolStarDividedByAHotStarsCurveHasItsTrueShape) {
  const Observed hot = Observe(HotStar, 3800, 7500, 2, 1);
  const Reference reference = HotReference();
  const auto curve = MakeResponse(hot.wavelength, hot.counts, reference.wavelength, reference.flux, {});
  ASSERT_TRUE(curve.ok()) << curve.message;
  EXPECT_EQ(curve.wavelength.front(), 3800);
  EXPECT_EQ(curve.wavelength.back(), 7500);
  EXPECT_NEAR(Median(curve.response), 1, 1e-12);

  std::vector<double> instrument;
  for (double x : curve.wavelength) instrument.push_back(Instrument(x));
  const auto curveErrors = RelativeErrors(curve.response, instrument);

  // Observed further out than the hot star, at another step.
  const Observed cool = Observe(CoolStar, 3700, 7600, 1.7, 2);
  const auto recovered = ApplyResponse(curve, cool.wavelength, cool.counts);
  ASSERT_TRUE(recovered.ok()) << recovered.message;
  EXPECT_EQ(recovered.leftOut, 59u + 59u);  // 100 A at each end, 1.7 A a sample
  EXPECT_EQ(recovered.note, "118 samples outside the response's 3800.0-7500.0 A were left out.");
  std::vector<double> truth;
  for (double x : recovered.wavelength) truth.push_back(CoolStar(x) * Telluric(x));
  const auto errors = RelativeErrors(recovered.flux, truth);
  std::printf("curve against the instrument: median %.4f, 95th percentile %.4f, largest %.4f\n",
              Median(curveErrors), Percentile(curveErrors, 0.95), Percentile(curveErrors, 1));
  std::printf("cool star recovered: median %.4f, 95th percentile %.4f, largest %.4f\n", Median(errors),
              Percentile(errors, 0.95), Percentile(errors, 1));
  EXPECT_LT(Percentile(curveErrors, 0.95), 0.01);
  EXPECT_LT(Median(errors), 0.02);  // 0.5 % noise alone gives a median of 0.34 % and a 95th percentile of 1 %
  EXPECT_LT(Percentile(errors, 0.95), 0.02);
}

TEST(Response, MaskingTheLinesKeepsTheirWingsOutOfTheCurve) {
  const Observed hot = Observe(HotStar, 3800, 7500, 2, 1);
  const Reference reference = HotReference();
  ResponseOptions unmasked;
  unmasked.maskLines = false;
  const auto masked = MakeResponse(hot.wavelength, hot.counts, reference.wavelength, reference.flux, {});
  const auto plain = MakeResponse(hot.wavelength, hot.counts, reference.wavelength, reference.flux, unmasked);
  ASSERT_TRUE(masked.ok() && plain.ok());
  // H-delta's core at 4101.7 A: masked and bridged, or pulled down by the line.
  const auto at = static_cast<std::size_t>((4101.7 - 3800) / 2);
  EXPECT_TRUE(masked.masked[at]);
  EXPECT_FALSE(plain.masked[at]);
  std::vector<double> instrument;
  for (double x : masked.wavelength) instrument.push_back(Instrument(x));
  const auto good = RelativeErrors(masked.response, instrument),
             bad = RelativeErrors(plain.response, instrument);
  std::printf("at H-delta: masked %.4f, not masked %.4f\n", good[at], bad[at]);
  EXPECT_LT(good[at], 0.015);  // the neighbours' wings still pull the bridge's ends down a little
  EXPECT_GT(bad[at], 3 * good[at]);
}

TEST(Response, TheCurveStopsWhereTheCameraSeesNothing) {
  // Counts of 0 below 4500 A, 100 from there on, on a flat reference.
  std::vector<double> w, c;
  for (double x = 4000; x <= 6000; x += 5) {
    w.push_back(x);
    c.push_back(x < 4500 ? 0 : 100);
  }
  const std::vector<double> rw{4000, 6000}, rf{2, 2};
  ResponseOptions options;
  options.maskLines = false;
  const auto r = MakeResponse(w, c, rw, rf, options);
  ASSERT_TRUE(r.ok()) << r.message;
  EXPECT_GT(r.wavelength.front(), 4400);
  EXPECT_LT(r.wavelength.front(), 4500);
  EXPECT_EQ(r.wavelength.back(), 6000);
  EXPECT_TRUE(std::all_of(r.response.begin(), r.response.end(), [](double v) { return v >= 0.01; }));
  EXPECT_NEAR(r.response.back(), 1, 0.01);
}

TEST(Response, WindowsRiseAndHoldTheirLines) {
  const auto windows = ResponseMaskWindows();
  for (std::size_t i = 0; i < windows.size(); ++i) {
    EXPECT_LT(windows[i].min, windows[i].max) << windows[i].name;
    if (i > 0) {
      EXPECT_LE(windows[i - 1].min, windows[i].min) << windows[i].name;
    }
  }
  const auto inside = [&](double x) {
    return std::any_of(windows.begin(), windows.end(),
                       [x](const MaskWindow& w) { return x >= w.min && x <= w.max; });
  };
  for (double line :
       {6562.8, 4861.3, 4340.5, 4101.7, 3970.1, 3889.1, 3835.4, 4471.5, 5875.6, 6678.2, 3933.7,
        3968.5, 5890.0, 5895.9, 5172.7, 7620.0, 6880.0, 7250.0, 8200.0, 9500.0, 8665.0, 9229.0}) {
    EXPECT_TRUE(inside(line)) << line;
  }
  EXPECT_FALSE(inside(5500));
  EXPECT_FALSE(inside(4600));
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
  std::vector<double> w, c;
  for (int i = 0; i < 50; ++i) {
    w.push_back(5000 + 10 * i);
    c.push_back(100);
  }
  const std::vector<double> rw{4000, 6000}, rf{1, 1}, falling{6000, 4000}, zero{1, 0}, nan{1, kNan};
  const std::vector<double> huge(50, 1e300), tiny{1e-300, 1e-300};
  const std::vector<double> narrow{5000, 5080}, none(50, 0.0), repeated{4000, 4000}, toEnd{4000, 5490};
  // 7150..7345 A: all but three samples inside the H2O band.
  std::vector<double> band, bandCounts(40, 100.0);
  for (int i = 0; i < 40; ++i) band.push_back(7150 + 5 * i);
  const std::vector<double> bandReference{7000, 8000};
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
      {"fine: a falling reference", s, cs, falling, rf, smoothing(160), ResponseError::None},
      {"one count short", s, cs.first(49), rw, rf, smoothing(160), ResponseError::SizeMismatch},
      {"one flux short", s, cs, rw, std::span<const double>(rf).first(1), smoothing(160),
       ResponseError::SizeMismatch},
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
      {"fine: the band unmasked", band, bandCounts, bandReference, rf, smoothing(50), ResponseError::None},
      {"the band masked", band, bandCounts, bandReference, rf, smoothing(50, true),
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
  const Observed hot = Observe(HotStar, 3800, 7500, 2, 1);
  const Reference reference = HotReference();
  const auto curve = MakeResponse(hot.wavelength, hot.counts, reference.wavelength, reference.flux, {});
  ASSERT_TRUE(curve.ok()) << curve.message;
  const std::string text = ResponseFileText(curve);
  EXPECT_TRUE(text.starts_with("wavelength_angstrom,response\n3800,")) << text.substr(0, 60);
  const auto read = ReadSpectrumFile(
      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), "response.csv", "");
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_EQ(read.wavelength, curve.wavelength);
  EXPECT_EQ(read.flux, curve.response);
}

}  // namespace
}  // namespace lxr4
