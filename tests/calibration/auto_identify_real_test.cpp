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
#include <iterator>
#include <string>
#include <vector>

#include "calibration/arc_shift.h"
#include "calibration/auto_identify.h"
#include "calibration/line_fit.h"
#include "calibration/lamps.h"
#include "calibration/reidentify.h"
#include "imagefile/fits_reader.h"
#include "tests/calibration/real_arc_data.h"

namespace lxr4 {
namespace {

// The published lines and, as decoys, the lines of the built-in lists of
// `gases` (their neutral lines only, without `ions`).
std::vector<ListLine> LampListsWith(const std::vector<std::pair<double, double>>& published,
                                    const std::vector<std::string_view>& gases, bool ions) {
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
// beyond it, and those of the published list. For an arc moved from the
// reference's by `moved`, each pixel is judged at the reference's pixel it came
// from (the whole detector: those that came from the reference's detector).
struct Verdict {
  double inside = 0, whole = 0;
  int wrong = 0, beyond = 0, published = 0;
};
Verdict Judge(const Reference& ref, const AutoIdentification& r, int n, double wrongBeyond,
              const ArcShift& moved = {}) {
  Verdict v;
  const double first = ref.lines.front().column, last = ref.lines.back().column;
  int insideCount = 0, wholeCount = 0;
  for (int q = 1; q <= n; ++q) {
    const double p = moved.SavedPixel(q);
    if (p < 1 || p > n) continue;
    const double e2 = std::pow(ref.PixelsOff(p, FittedWavelength(r.calibration, q)), 2);
    v.whole += e2, ++wholeCount;
    if (p >= first && p <= last) v.inside += e2, ++insideCount;
  }
  v.whole = std::sqrt(v.whole / wholeCount);
  v.inside = std::sqrt(v.inside / insideCount);
  for (const CalibrationLine& line : r.lines) {
    CalibrationLine l = line;
    l.column = static_cast<float>(moved.SavedPixel(line.column));
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

void Report(const std::string& name, const Reference& ref, const Verdict& v, const AutoIdentification& r,
            std::size_t published) {
  std::printf(
      "%s: reference %zu lines, %.3f px rms; solution %.3f px rms between them, %.3f px over the detector; "
      "%d lines of %d offered (%d published of %zu), %d wrong, %d beyond the reference; fit rms %.3f A = "
      "%.3f px, order %d, coverage %.2f\n",
      name.c_str(), ref.lines.size(), ref.rms, v.inside, v.whole, r.linesUsed, r.linesOffered, v.published,
      published, v.wrong, v.beyond, r.rms, r.rmsPixels, r.calibration.polynomial.order, r.coverage);
}

// A real arc with its published lines and the reference made from them.
struct RealArc {
  std::string name;
  std::vector<double> spectrum;  // pixel p at index p - 1
  std::vector<std::pair<double, double>> published;
  Reference ref;
  int n = 0;
  double wrongBeyond = 0;  // pixels off the reference that make a line wrong
};

// The rascal arc `name` (data/README.md): the published lines re-centred,
// without the blends (a Gaussian wider than 1.25 times the typical one) and
// those the fit moves elsewhere, a quartic through them.
RealArc RascalArc(const std::string& name) {
  RealArc arc;
  arc.name = name;
  for (const auto& [pixel, counts] : ReadPairs("rascal-" + name + "-effective-pixel-spectrum.txt"))
    arc.spectrum.push_back(counts);
  arc.published = ReadPairs("rascal-" + name + "-pixel-wavelength-solution-pairs.txt");
  arc.n = static_cast<int>(arc.spectrum.size());
  std::vector<std::pair<double, GaussianLine>> measured;
  std::vector<double> sigmas;
  for (const auto& [position, wavelength] : arc.published) {
    if (position < 8 || position > arc.n - 8) continue;
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
  arc.ref = MakeReference(lines, 4, arc.n);
  arc.wrongBeyond = std::max(0.5, 3 * arc.ref.rms);
  return arc;
}

// A xenon arc frame of a low-resolution spectrograph (Liverpool Telescope
// SPRAT, 1024 x 254, read through the FITS decoder), its illuminated rows
// summed, against lines identified at whole columns (data/README.md): a cubic
// through them.
RealArc SpratArc() {
  RealArc arc;
  arc.name = "sprat";
  const std::string data = std::string(LXR4_SOURCE_DIR) + "/tests/calibration/data/";
  std::ifstream in(data + "sprat-xe-arc-frame.fits", std::ios::binary);
  EXPECT_TRUE(in);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const FitsReadResult read = ReadFitsFrame(bytes, LXR4_FITS_DECODER);
  EXPECT_EQ(read.error, FitsError::None) << read.message;
  const FitsFrame& frame = read.frame;
  std::vector<double> rows(static_cast<std::size_t>(frame.height));
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) rows[static_cast<std::size_t>(y)] += frame.at(x, y);
  const double brightest = rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end());
  arc.spectrum.assign(static_cast<std::size_t>(frame.width), 0.0);
  for (int y = 0; y < frame.height; ++y)
    if (rows[static_cast<std::size_t>(y)] > brightest / 2)
      for (int x = 0; x < frame.width; ++x) arc.spectrum[static_cast<std::size_t>(x)] += frame.at(x, y);
  arc.n = frame.width;
  arc.published = ReadPairs("sprat-xe-arc-lines.csv");  // column from 0, wavelength (, gas)
  LineSet lines;
  for (const auto& [column, wavelength] : arc.published)
    lines.push_back({wavelength, static_cast<float>(column + 1), "", true});
  arc.ref = MakeReference(lines, 3, arc.n);
  arc.wrongBeyond = 3 * arc.ref.rms;  // the columns are whole: the reference scatters by half a pixel
  return arc;
}

// The automatic identification from the reference's central wavelength and
// dispersion times `factor`, the centre moved by `shift` of the detector's span.
AutoIdentifyResult IdentifyFromRoughStart(const RealArc& arc, double factor, double shift,
                                          const std::vector<ListLine>& list) {
  const FittedCalibration& c = arc.ref.fit.calibration;
  const double atEnd = FittedWavelength(c, arc.n), atStart = FittedWavelength(c, 1);
  return AutoIdentifyLines(arc.spectrum, list,
                           {.centralWavelength = FittedWavelength(c, (arc.n + 1) / 2.0) +
                                                 shift * std::fabs(atEnd - atStart),
                            .dispersion = (atEnd - atStart) / (arc.n - 1) * factor});
}

TEST(AutoIdentifyRealArcs, AgreesWithThePublishedLinesToAFifthOfAPixel) {
  for (const std::string name : {"ghts", "floyds-red", "dolores-red"}) {
    const RealArc arc = RascalArc(name);
    const Reference& ref = arc.ref;
    const int n = arc.n;
    ASSERT_EQ(ref.fit.error, FitError::None) << name;

    for (const double factor : {1.15, 0.85})
      for (const double shift : {-0.15, 0.15}) {  // of the detector's span in Angstroms
        const std::string trace = name + " x" + std::to_string(factor) + " " + std::to_string(shift);
        SCOPED_TRACE(trace);
        const AutoIdentifyResult r = IdentifyFromRoughStart(arc, factor, shift, NeutralDecoysWith(arc.published));
        ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
        const Verdict v = Judge(ref, r, n, arc.wrongBeyond);
        Report(trace, ref, v, r, arc.published.size());
        RecordProperty(name + "_rms_pixels", std::to_string(v.inside));
        EXPECT_LE(v.inside, 0.2);
        EXPECT_EQ(v.wrong, 0);
      }
  }
}

// Each arc against the whole built-in lists of its own lamp's gases, the Ar
// II lines among them, as the program offers them for that lamp.
TEST(AutoIdentifyRealArcs, FindsTheLinesAgainstTheirOwnLampsLists) {
  const std::vector<std::pair<std::string, std::vector<std::string_view>>> lamps{{"ghts", {"Hg", "Ar", "Ne"}},
                                                                                {"floyds-red", {"Hg", "Ar"}}};
  for (const auto& [name, gases] : lamps) {
    const RealArc arc = RascalArc(name);
    for (const double factor : {1.15, 0.85})
      for (const double shift : {-0.15, 0.15}) {
        SCOPED_TRACE(name + " x" + std::to_string(factor) + " " + std::to_string(shift));
        const AutoIdentifyResult r = IdentifyFromRoughStart(arc, factor, shift, LampListsWith(arc.published, gases, true));
        ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
        const Verdict v = Judge(arc.ref, r, arc.n, arc.wrongBeyond);
        EXPECT_LE(v.inside, 0.2);
        EXPECT_EQ(v.wrong, 0);
      }
  }
}

TEST(AutoIdentifyRealArcs, FindsTheLinesOfAXenonArcFrame) {
  const RealArc arc = SpratArc();
  ASSERT_EQ(arc.published.size(), 39u);
  ASSERT_EQ(arc.ref.fit.error, FitError::None);
  const Reference& ref = arc.ref;
  const int n = arc.n;
  for (const double factor : {1.15, 0.85}) {
    SCOPED_TRACE(factor);
    const AutoIdentifyResult r = IdentifyFromRoughStart(arc, factor, 0, NeutralDecoysWith(arc.published));
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    const Verdict v = Judge(ref, r, n, arc.wrongBeyond);
    Report("sprat x" + std::to_string(factor), ref, v, r, arc.published.size());
    EXPECT_LE(v.inside, 0.2);
    EXPECT_EQ(v.wrong, 0);
    EXPECT_GE(r.coverage, 0.6);
  }
}

// The arc as a detector moved by `moved` would show it: current pixel q holds
// the arc at pixel moved.SavedPixel(q), linearly interpolated (the end values
// beyond the ends).
std::vector<double> MovedArc(const std::vector<double>& arc, const ArcShift& moved) {
  const int n = static_cast<int>(arc.size());
  std::vector<double> out;
  for (int q = 1; q <= n; ++q) {
    const double p = std::clamp(moved.SavedPixel(q), 1.0, static_cast<double>(n));
    const int below = std::min(static_cast<int>(p), n - 1);
    const double f = p - below;
    out.push_back((1 - f) * arc[static_cast<std::size_t>(below - 1)] + f * arc[static_cast<std::size_t>(below)]);
  }
  return out;
}

// Each real arc calibrated, then moved on the detector and its lines found
// again from the calibration and the lamp spectrum it was made on.
TEST(AutoIdentifyRealArcs, ReidentifiesEachArcMovedOnTheDetector) {
  for (const RealArc& arc : {RascalArc("ghts"), RascalArc("floyds-red"), RascalArc("dolores-red"), SpratArc()}) {
    const AutoIdentifyResult saved = IdentifyFromRoughStart(arc, 1, 0, NeutralDecoysWith(arc.published));
    ASSERT_EQ(saved.error, AutoIdentifyError::None) << arc.name << ": " << saved.message;
    for (const auto& [shift, stretch] : {std::pair{15.0, 1.0}, std::pair{-15.4, 1.003}}) {
      const std::string trace = arc.name + " moved " + std::to_string(shift) + " x" + std::to_string(stretch);
      SCOPED_TRACE(trace);
      const ArcShift truth{.shift = shift, .stretch = stretch, .centre = (arc.n + 1) / 2.0};
      // As the program does: the lines the calibration was made with are the list.
      std::vector<ListLine> list;
      for (const CalibrationLine& line : saved.lines) list.push_back({line.wavelength, line.label});
      const ReidentifyResult r = Reidentify(saved.calibration, arc.spectrum, MovedArc(arc.spectrum, truth), list);
      ASSERT_EQ(r.error, ReidentifyError::None) << r.message;
      EXPECT_NEAR(r.shift.shift, shift, 0.1);  // pixels
      EXPECT_NEAR(r.shift.stretch, stretch, 0.001);
      const Verdict v = Judge(arc.ref, r.identification, arc.n, arc.wrongBeyond, truth);
      std::printf("measured shift %.3f px, stretch %.5f, correlation %.3f\n", r.shift.shift, r.shift.stretch,
                  r.shift.correlation);
      Report(trace, arc.ref, v, r.identification, arc.published.size());
      EXPECT_LE(v.inside, 0.25);
      EXPECT_EQ(v.wrong, 0);
    }
  }
}

}  // namespace
}  // namespace lxr4
