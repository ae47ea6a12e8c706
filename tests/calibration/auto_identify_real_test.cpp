// Automatic identification on the real arcs of data/README.md, against a
// list of their published lines plus every line of the program's lamp lists
// (data/line_lists) as decoys, from the published solution's central
// wavelength and dispersion 15% off. Judged against an independent solution:
// a clipped cubic through the published lines re-centred on the spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "calibration/auto_identify.h"
#include "calibration/line_fit.h"
#include "calibration/line_list_file.h"
#include "imagefile/fits_reader.h"
#include "tests/calibration/real_arc_data.h"

namespace lxr4 {
namespace {

std::vector<ListLine> LampListsWith(const std::vector<std::pair<double, double>>& published) {
  std::vector<ListLine> list;
  for (const auto& [pixel, wavelength] : published) list.push_back({wavelength, "published"});
  for (const char* gas : {"He", "Ne", "Ar", "Hg", "Kr", "Xe"}) {
    std::ifstream in(std::string(LXR4_SOURCE_DIR) + "/data/line_lists/" + gas + ".txt");
    EXPECT_TRUE(in) << gas;
    std::stringstream text;
    text << in.rdbuf();
    const LineListResult read = ParseLineList(text.str());
    EXPECT_TRUE(read.ok()) << gas;
    for (const ListLine& l : read.lines)  // the same line as a published one is not a decoy
      if (std::none_of(published.begin(), published.end(),
                       [&](const auto& p) { return std::fabs(p.second - l.wavelength) < 0.1; }))
        list.push_back(l);
  }
  return list;
}

struct RealCase {
  const char* name;
  double dispersionFactor;
  double centreShift;  // share of the detector's span in Angstroms
};

TEST(AutoIdentifyRealArcs, AgreesWithThePublishedLinesToAFifthOfAPixel) {
  std::vector<RealCase> cases;
  for (const char* name : {"ghts", "floyds-red", "dolores-red"})
    for (const double factor : {1.15, 0.85})
      for (const double shift : {-0.15, 0.15}) cases.push_back({name, factor, shift});
  for (const RealCase& c : cases) {
    const std::string name = c.name;
    SCOPED_TRACE(name + " dispersion x" + std::to_string(c.dispersionFactor));
    std::vector<double> spectrum;
    for (const auto& [pixel, counts] : ReadPairs("rascal-" + name + "-effective-pixel-spectrum.txt"))
      spectrum.push_back(counts);
    const auto published = ReadPairs("rascal-" + name + "-pixel-wavelength-solution-pairs.txt");
    const int n = static_cast<int>(spectrum.size());

    // The reference: the published lines re-centred, without the blends (a
    // Gaussian wider than 1.25 times the typical one) and failed fits, a
    // clipped quartic through them; it holds between its outermost lines.
    std::vector<std::pair<double, GaussianLine>> measured;
    std::vector<double> sigmas;
    for (const auto& [position, wavelength] : published) {
      if (position < 8 || position > n - 8) continue;
      const GaussianLine g = FitGaussianLine(spectrum, position + 1);
      if (std::isfinite(g.centre) && std::fabs(g.centre - (position + 1)) < 0.75) {
        measured.emplace_back(wavelength, g);
        sigmas.push_back(g.sigma);
      }
    }
    std::sort(sigmas.begin(), sigmas.end());
    LineSet reference;
    for (const auto& [wavelength, g] : measured)
      if (g.sigma < 1.25 * sigmas[sigmas.size() / 2])
        reference.push_back({wavelength, static_cast<float>(g.centre), "", true});
    FitResult truth = FitPolynomial(reference, 4, {.pixels = n});
    ASSERT_EQ(truth.error, FitError::None);
    // Published identifications include lines a pixel or more off any smooth
    // curve (blends the width does not show): clipped at 3 sigma of the
    // median absolute deviation until none is.
    for (bool clipped = true; clipped;) {
      std::vector<double> deviations;
      for (const LineResidual& lr : truth.lines)
        if (lr.used) deviations.push_back(std::fabs(lr.residualPixels));
      std::sort(deviations.begin(), deviations.end());
      const double limit = 3 * std::max(0.05, 1.4826 * deviations[deviations.size() / 2]);
      clipped = false;
      for (std::size_t i = 0; i < reference.size(); ++i)
        if (reference[i].used && std::fabs(truth.lines[i].residualPixels) > limit)
          reference[i].used = false, clipped = true;
      truth = FitPolynomial(reference, 4, {.pixels = n});
      ASSERT_EQ(truth.error, FitError::None);
    }
    std::erase_if(reference, [](const CalibrationLine& l) { return !l.used; });
    const auto truthAt = [&](double p) { return double{FittedWavelength(truth.calibration, p)}; };
    const auto pixelsOff = [&](double p, double w) {
      return (w - truthAt(p)) / FittedDispersion(truth.calibration, p);
    };
    const double dispersion = (truthAt(n) - truthAt(1)) / (n - 1);
    const double span = std::fabs(truthAt(n) - truthAt(1));
    double referenceRms = 0;  // pixels
    for (const CalibrationLine& l : reference) referenceRms += std::pow(pixelsOff(l.column, l.wavelength), 2);
    referenceRms = std::sqrt(referenceRms / static_cast<double>(reference.size()));
    const double firstLine = reference.front().column, lastLine = reference.back().column;

    const AutoIdentifyResult r =
        AutoIdentifyLines(spectrum, LampListsWith(published),
                          {.centralWavelength = truthAt((n + 1) / 2.0) + c.centreShift * span,
                           .dispersion = dispersion * c.dispersionFactor});
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    double sum = 0, inside = 0;
    int insideCount = 0;
    for (int p = 1; p <= n; ++p) {
      const double e = pixelsOff(p, FittedWavelength(r.calibration, p));
      sum += e * e;
      if (p >= firstLine && p <= lastLine) inside += e * e, ++insideCount;
    }
    const double rmsPixels = std::sqrt(sum / n), insideRms = std::sqrt(inside / insideCount);
    // Wrong: off the reference by more than half a pixel or three times its own
    // scatter, where it holds.
    int wrong = 0, unverified = 0, published_ = 0;
    for (const CalibrationLine& l : r.lines) {
      published_ += l.label == "published";
      if (l.column < firstLine || l.column > lastLine) {
        ++unverified;
        continue;
      }
      const double off = pixelsOff(l.column, l.wavelength);
      if (std::fabs(off) > std::max(0.5, 3 * referenceRms)) {
        ++wrong;
        std::printf("  wrong: %.3f A at pixel %.2f (%.2f px off)\n", l.wavelength, l.column, off);
      }
    }
    std::printf(
        "%s x%.2f %+.2f: reference %zu lines, %.3f px rms; solution %.3f px rms between them, %.3f px over "
        "the "
        "detector; %d lines of %d offered (%d published of %zu), %d wrong, %d beyond the reference; fit rms "
        "%.3f A = %.3f px, order %d, coverage %.2f\n",
        c.name, c.dispersionFactor, c.centreShift, reference.size(), referenceRms, insideRms, rmsPixels,
        r.linesUsed, r.linesOffered, published_, published.size(), wrong, unverified, r.rms, r.rmsPixels,
        r.calibration.polynomial.order, r.coverage);
    RecordProperty(name + "_rms_pixels", std::to_string(insideRms));
    EXPECT_LE(insideRms, std::max(0.2, referenceRms));
    EXPECT_EQ(wrong, 0);
  }
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

  std::vector<std::pair<double, double>> published;  // pixel from 0, wavelength
  std::ifstream csv(data + "sprat-xe-arc-lines.csv");
  ASSERT_TRUE(csv);
  for (std::string line; std::getline(csv, line);) {
    std::istringstream fields(line);
    double column = 0, wavelength = 0;
    char comma = 0;
    if (fields >> column >> comma >> wavelength) published.emplace_back(column, wavelength);
  }
  ASSERT_EQ(published.size(), 39u);
  LineSet reference;
  for (const auto& [column, wavelength] : published)
    reference.push_back({wavelength, static_cast<float>(column + 1), "", true});
  const FitResult truth = FitPolynomial(reference, 3, {.pixels = n});
  ASSERT_EQ(truth.error, FitError::None);
  const auto pixelsOff = [&](double p, double w) {
    return (w - FittedWavelength(truth.calibration, p)) / FittedDispersion(truth.calibration, p);
  };
  double referenceRms = 0;  // pixels: the columns are whole
  for (const CalibrationLine& l : reference) referenceRms += std::pow(pixelsOff(l.column, l.wavelength), 2);
  referenceRms = std::sqrt(referenceRms / static_cast<double>(reference.size()));
  const double centre = FittedWavelength(truth.calibration, (n + 1) / 2.0);
  const double dispersion =
      (FittedWavelength(truth.calibration, n) - FittedWavelength(truth.calibration, 1)) / double(n - 1);

  for (const double factor : {1.15, 0.85}) {
    SCOPED_TRACE(factor);
    const AutoIdentifyResult r = AutoIdentifyLines(
        spectrum, LampListsWith(published), {.centralWavelength = centre, .dispersion = dispersion * factor});
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    int published_ = 0;
    for (const CalibrationLine& l : r.lines) {
      published_ += l.label == "published";
      EXPECT_LE(std::fabs(pixelsOff(l.column, l.wavelength)), 3 * referenceRms) << l.wavelength;
    }
    double sum = 0;
    const int first = static_cast<int>(reference.front().column),
              last = static_cast<int>(reference.back().column);
    for (int p = first; p <= last; ++p) sum += std::pow(pixelsOff(p, FittedWavelength(r.calibration, p)), 2);
    const double rmsPixels = std::sqrt(sum / (last - first + 1));
    std::printf(
        "sprat x%.2f: reference %.3f px rms; solution %.3f px rms between its lines; %d lines of %d offered "
        "(%d published of %zu), fit rms %.3f A = %.3f px, order %d, coverage %.2f\n",
        factor, referenceRms, rmsPixels, r.linesUsed, r.linesOffered, published_, published.size(), r.rms,
        r.rmsPixels, r.calibration.polynomial.order, r.coverage);
    EXPECT_LE(rmsPixels, 0.2);
    EXPECT_GE(r.coverage, 0.6);
  }
}

}  // namespace
}  // namespace lxr4
