// Automatic identification on the real arcs of data/README.md, against a
// list of their published lines plus every line of the program's lamp lists
// (data/line_lists) as decoys, from the published solution's central
// wavelength and dispersion 15% off. Judged against an independent solution:
// a clipped cubic through the published lines re-centred on the spectrum.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calibration/auto_identify.h"
#include "calibration/line_fit.h"
#include "calibration/line_list_file.h"
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
      if (std::none_of(published.begin(), published.end(), [&](const auto& p) { return std::fabs(p.second - l.wavelength) < 0.1; }))
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
  const std::vector<RealCase> cases{
      {"ghts", 1.15, 0.05}, {"ghts", 0.85, -0.05}, {"floyds-red", 1.15, -0.05},
      {"floyds-red", 0.85, 0.05}, {"dolores-red", 1.15, 0.05}, {"dolores-red", 0.85, -0.05},
  };
  for (const RealCase& c : cases) {
    const std::string name = c.name;
    SCOPED_TRACE(name + " dispersion x" + std::to_string(c.dispersionFactor));
    std::vector<double> spectrum;
    for (const auto& [pixel, counts] : ReadPairs("rascal-" + name + "-effective-pixel-spectrum.txt"))
      spectrum.push_back(counts);
    const auto published = ReadPairs("rascal-" + name + "-pixel-wavelength-solution-pairs.txt");
    const int n = static_cast<int>(spectrum.size());

    LineSet reference;
    for (const auto& [position, wavelength] : published) {
      if (position < 8 || position > n - 8) continue;
      const double centre = GaussianCentre(spectrum, position + 1);  // the fit fails on a few blends
      if (std::fabs(centre - (position + 1)) < 2) reference.push_back({wavelength, static_cast<float>(centre), "", true});
    }
    const FitResult truth = FitPolynomial(reference, 3, {.clip = true, .pixels = n});
    ASSERT_EQ(truth.error, FitError::None);
    const auto truthAt = [&](double p) { return double{FittedWavelength(truth.calibration, p)}; };
    const double dispersion = (truthAt(n) - truthAt(1)) / (n - 1);
    const double span = std::fabs(truthAt(n) - truthAt(1));

    const AutoIdentifyResult r =
        AutoIdentifyLines(spectrum, LampListsWith(published),
                          {.centralWavelength = truthAt((n + 1) / 2.0) + c.centreShift * span,
                           .dispersion = dispersion * c.dispersionFactor});
    ASSERT_EQ(r.error, AutoIdentifyError::None) << r.message;
    double sum = 0;
    for (int p = 1; p <= n; ++p) {
      const double e = (FittedWavelength(r.calibration, p) - truthAt(p)) / FittedDispersion(truth.calibration, p);
      sum += e * e;
    }
    const double rmsPixels = std::sqrt(sum / n);
    int wrong = 0, published_ = 0;
    for (const CalibrationLine& l : r.lines) {
      const double off = (l.wavelength - truthAt(l.column)) / FittedDispersion(truth.calibration, l.column);
      if (std::fabs(off) > 1.0) ++wrong, std::printf("  wrong: %.3f A at pixel %.2f (%.2f px off)\n", l.wavelength, l.column, off);
      published_ += l.label == "published";
    }
    std::printf("%s x%.2f: %.3f px rms over the detector, %d lines of %d offered (%d published of %zu), "
                "%d wrong, fit rms %.3f A = %.3f px, order %d, coverage %.2f\n",
                c.name, c.dispersionFactor, rmsPixels, r.linesUsed, r.linesOffered, published_, published.size(), wrong,
                r.rms, r.rmsPixels, r.calibration.polynomial.order, r.coverage);
    RecordProperty(name + "_rms_pixels", std::to_string(rmsPixels));
    EXPECT_LE(rmsPixels, 0.2);
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
}  // namespace lxr4
