// Automatic identification on the real arcs of data/README.md, against a
// list of their published lines plus the neutral lines of the program's
// built-in lists of He, Ne, Ar, Hg, Kr and Xe as decoys, and against their
// own lamp's whole lists (ion lines too), from the published solution's
// central wavelength and dispersion 15% off. Judged against an independent solution:
// a clipped cubic through the published lines re-centred on the spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "calibration/auto_identify.h"
#include "calibration/lamps.h"
#include "calibration/line_fit.h"
#include "imagefile/fits_reader.h"
#include "tests/calibration/real_arc_data.h"

namespace lxr4 {
namespace {

// The published lines and, as decoys, the lines of the built-in lists of
// `gases` (their neutral lines only, without `ions`).
std::vector<ListLine> LampListsWith(const std::vector<std::pair<double, double>>& published,
                                    std::initializer_list<std::string_view> gases, bool ions) {
  std::vector<ListLine> list;
  for (const auto& [pixel, wavelength] : published) list.push_back({wavelength, "published"});
  for (const std::string_view gas : gases) {
    const std::vector<ListLine> lamp = LampLines(gas);
    EXPECT_FALSE(lamp.empty()) << gas;
    for (const ListLine& l : lamp)  // the same line as a published one is not a decoy
      if ((ions || !l.label.ends_with(" II")) &&
          std::none_of(published.begin(), published.end(),
                       [&](const auto& p) { return std::fabs(p.second - l.wavelength) < 0.1; }))
        list.push_back(l);
  }
  return list;
}
// Dense decoys in the blue (all the Ar II lines, or the Cu, Cd and Zn lists
// besides these) draw the search to a false solution there from a start 15%
// to the blue with a dispersion 15% high (floyds-red, dolores-red): its
// agreement counts lines near any list line, however dense the list.
std::vector<ListLine> NeutralDecoysWith(const std::vector<std::pair<double, double>>& published) {
  return LampListsWith(published, {"He", "Ne", "Ar", "Hg", "Kr", "Xe"}, false);
}

// The reference: `lines` (a polynomial of `order` through them, clipped at 3
// sigma of the median absolute deviation until none is: published
// identifications include lines a pixel off any smooth curve, blends their
// width does not show); it holds between its outermost lines.
struct Reference {
  LineSet lines;
  FitResult fit;
  double rms = 0;  // pixels
  [[nodiscard]] double PixelsOff(double pixel, double wavelength) const {
    return (wavelength - FittedWavelength(fit.calibration, pixel)) / FittedDispersion(fit.calibration, pixel);
  }
};
Reference MakeReference(LineSet lines, int order, int n) {
  Reference ref;
  ref.fit = FitPolynomial(lines, order, {.pixels = n});
  for (bool clipped = true; clipped && ref.fit.ok();) {
    std::vector<double> deviations;
    for (const LineResidual& lr : ref.fit.lines)
      if (lr.used) deviations.push_back(std::fabs(lr.residualPixels));
    std::sort(deviations.begin(), deviations.end());
    const double limit = 3 * std::max(0.05, 1.4826 * deviations[deviations.size() / 2]);
    clipped = false;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].used && std::fabs(ref.fit.lines[i].residualPixels) > limit)
        lines[i].used = false, clipped = true;
    ref.fit = FitPolynomial(lines, order, {.pixels = n});
  }
  std::erase_if(lines, [](const CalibrationLine& l) { return !l.used; });
  ref.lines = lines;
  for (const CalibrationLine& l : lines) ref.rms += std::pow(ref.PixelsOff(l.column, l.wavelength), 2);
  ref.rms = std::sqrt(ref.rms / static_cast<double>(lines.size()));
  return ref;
}

// The solution against the reference: rms of its error in pixels between the
// reference's outermost lines and over the whole detector; its lines off by
// more than `wrongBeyond` pixels where the reference holds (printed), those
// beyond it, and those of the published list.
struct Verdict {
  double inside = 0, whole = 0;
  int wrong = 0, beyond = 0, published = 0;
};
Verdict Judge(const Reference& ref, const AutoIdentifyResult& r, int n, double wrongBeyond) {
  Verdict v;
  const double first = ref.lines.front().column, last = ref.lines.back().column;
  int insideCount = 0;
  for (int p = 1; p <= n; ++p) {
    const double e2 = std::pow(ref.PixelsOff(p, FittedWavelength(r.calibration, p)), 2);
    v.whole += e2;
    if (p >= first && p <= last) v.inside += e2, ++insideCount;
  }
  v.whole = std::sqrt(v.whole / n);
  v.inside = std::sqrt(v.inside / insideCount);
  for (const CalibrationLine& l : r.lines) {
    v.published += l.label == "published";
    const double off = ref.PixelsOff(l.column, l.wavelength);
    if (l.column < first || l.column > last) {
      ++v.beyond;
    } else if (std::fabs(off) > wrongBeyond) {
      ++v.wrong;
      std::printf("  wrong: %.3f A at pixel %.2f (%.2f px off)\n", l.wavelength, l.column, off);
    }
  }
  return v;
}

void Report(const std::string& name, const Reference& ref, const Verdict& v, const AutoIdentifyResult& r,
            std::size_t published) {
  std::printf(
      "%s: reference %zu lines, %.3f px rms; solution %.3f px rms between them, %.3f px over the detector; "
      "%d lines of %d offered (%d published of %zu), %d wrong, %d beyond the reference; fit rms %.3f A = "
      "%.3f px, order %d, coverage %.2f\n",
      name.c_str(), ref.lines.size(), ref.rms, v.inside, v.whole, r.linesUsed, r.linesOffered, v.published,
      published, v.wrong, v.beyond, r.rms, r.rmsPixels, r.calibration.polynomial.order, r.coverage);
}

// One of the RASCAL arcs: its spectrum, published lines and the reference
// drawn from them.
struct RealArc {
  std::vector<double> spectrum;
  std::vector<std::pair<double, double>> published;
  Reference ref;
  int n = 0;
  double centre = 0, span = 0;  // Angstroms: at the middle pixel, over the detector (signed)
};
RealArc LoadRealArc(const std::string& name) {
  RealArc arc;
  for (const auto& [pixel, counts] : ReadPairs("rascal-" + name + "-effective-pixel-spectrum.txt"))
    arc.spectrum.push_back(counts);
  arc.published = ReadPairs("rascal-" + name + "-pixel-wavelength-solution-pairs.txt");
  const int n = arc.n = static_cast<int>(arc.spectrum.size());

  // The published lines re-centred, without the blends (a Gaussian wider
  // than 1.25 times the typical one) and those the fit moves elsewhere.
  std::vector<std::pair<double, GaussianLine>> measured;
  std::vector<double> sigmas;
  for (const auto& [position, wavelength] : arc.published) {
    if (position < 8 || position > n - 8) continue;
    const GaussianLine g = FitGaussianLine(arc.spectrum, position + 1);
    if (std::isfinite(g.centre) && std::fabs(g.centre - (position + 1)) < 0.75) {
      measured.emplace_back(wavelength, g);
      sigmas.push_back(g.sigma);
    }
  }
  std::sort(sigmas.begin(), sigmas.end());
  LineSet lines;
  for (const auto& [wavelength, g] : measured)
    if (g.sigma < 1.25 * sigmas[sigmas.size() / 2])
      lines.push_back({wavelength, static_cast<float>(g.centre), "", true});
  arc.ref = MakeReference(lines, 4, n);
  if (arc.ref.fit.ok()) {
    arc.span = FittedWavelength(arc.ref.fit.calibration, n) - FittedWavelength(arc.ref.fit.calibration, 1);
    arc.centre = FittedWavelength(arc.ref.fit.calibration, (n + 1) / 2.0);
  }
  return arc;
}

// Identifies `arc` against `list` from the four starts off the reference (the
// central wavelength 15% of the span either way, the dispersion 15% either way).
void ExpectFoundFromStartsOff(const std::string& name, const RealArc& arc,
                              const std::vector<ListLine>& list) {
  ASSERT_EQ(arc.ref.fit.error, FitError::None) << name;
  for (const double factor : {1.15, 0.85})
    for (const double shift : {-0.15, 0.15}) {  // of the detector's span in Angstroms
      const std::string trace = name + " x" + std::to_string(factor) + " " + std::to_string(shift);
      SCOPED_TRACE(trace);
      const AutoIdentifyResult r =
          AutoIdentifyLines(arc.spectrum, list,
                            {.centralWavelength = arc.centre + shift * std::fabs(arc.span),
                             .dispersion = arc.span / (arc.n - 1) * factor});
      ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
      const Verdict v = Judge(arc.ref, r, arc.n, std::max(0.5, 3 * arc.ref.rms));
      Report(trace, arc.ref, v, r, arc.published.size());
      testing::Test::RecordProperty(name + "_rms_pixels", std::to_string(v.inside));
      EXPECT_LE(v.inside, 0.2);
      EXPECT_EQ(v.wrong, 0);
    }
}

TEST(AutoIdentifyRealArcs, AgreesWithThePublishedLinesToAFifthOfAPixel) {
  for (const std::string name : {"ghts", "floyds-red", "dolores-red"}) {
    const RealArc arc = LoadRealArc(name);
    ExpectFoundFromStartsOff(name, arc, NeutralDecoysWith(arc.published));
  }
}

// Each arc against the whole built-in lists of its own lamp's gases, the Ar
// II lines among them, as the program offers them for that lamp.
TEST(AutoIdentifyRealArcs, FindsTheLinesAgainstTheirOwnLampsLists) {
  const RealArc ghts = LoadRealArc("ghts");  // Hg, Ar and Ne
  ExpectFoundFromStartsOff("ghts", ghts, LampListsWith(ghts.published, {"Hg", "Ar", "Ne"}, true));
  const RealArc floyds = LoadRealArc("floyds-red");  // Hg and Ar
  ExpectFoundFromStartsOff("floyds-red", floyds, LampListsWith(floyds.published, {"Hg", "Ar"}, true));
}

// A xenon arc frame of a low-resolution spectrograph (Liverpool Telescope
// SPRAT, 1024 x 254, read through the FITS decoder), its illuminated rows
// summed, against lines identified at whole columns (data/README.md).
TEST(AutoIdentifyRealArcs, FindsTheLinesOfAXenonArcFrame) {
  const std::string data = std::string(LXR4_SOURCE_DIR) + "/tests/calibration/data/";
  std::ifstream in(data + "sprat-xe-arc-frame.fits", std::ios::binary);
  ASSERT_TRUE(in);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const FitsReadResult read = ReadFitsFrame(bytes, LXR4_FITS_DECODER);
  ASSERT_EQ(read.error, FitsError::None) << read.message;
  const FitsFrame& frame = read.frame;
  std::vector<double> rows(static_cast<std::size_t>(frame.height));
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) rows[static_cast<std::size_t>(y)] += frame.at(x, y);
  const double brightest = *std::max_element(rows.begin(), rows.end());
  std::vector<double> spectrum(static_cast<std::size_t>(frame.width));
  for (int y = 0; y < frame.height; ++y)
    if (rows[static_cast<std::size_t>(y)] > brightest / 2)
      for (int x = 0; x < frame.width; ++x) spectrum[static_cast<std::size_t>(x)] += frame.at(x, y);
  const int n = frame.width;

  const auto published = ReadPairs("sprat-xe-arc-lines.csv");  // column from 0, wavelength (, gas)
  ASSERT_EQ(published.size(), 39u);
  LineSet lines;
  for (const auto& [column, wavelength] : published)
    lines.push_back({wavelength, static_cast<float>(column + 1), "", true});
  const Reference ref = MakeReference(lines, 3, n);
  ASSERT_EQ(ref.fit.error, FitError::None);
  const double atEnd = FittedWavelength(ref.fit.calibration, n),
               atStart = FittedWavelength(ref.fit.calibration, 1);

  for (const double factor : {1.15, 0.85}) {
    SCOPED_TRACE(factor);
    const AutoIdentifyResult r =
        AutoIdentifyLines(spectrum, NeutralDecoysWith(published),
                          {.centralWavelength = FittedWavelength(ref.fit.calibration, (n + 1) / 2.0),
                           .dispersion = (atEnd - atStart) / (n - 1) * factor});
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    const Verdict v =
        Judge(ref, r, n, 3 * ref.rms);  // the columns are whole: the reference scatters by half a pixel
    Report("sprat x" + std::to_string(factor), ref, v, r, published.size());
    EXPECT_LE(v.inside, 0.2);
    EXPECT_EQ(v.wrong, 0);
    EXPECT_GE(r.coverage, 0.6);
  }
}

}  // namespace
}  // namespace lxr4
