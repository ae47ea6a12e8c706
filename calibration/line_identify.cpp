#include "calibration/line_identify.h"

#include <algorithm>
#include <cmath>

#include "calibration/centroid.h"

namespace lxr4 {

namespace {

double Median(std::vector<double>& v) {
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

}  // namespace

std::vector<Peak> FindPeaks(std::span<const double> spectrum, int centroidWidth) {
  const int n = static_cast<int>(spectrum.size());
  if (n < centroidWidth + 2 || n < 3) return {};
  const auto at = [&](int column) { return spectrum[static_cast<std::size_t>(column - 1)]; };

  std::vector<double> background(static_cast<std::size_t>(n)), window, deviation;
  for (int c = 1; c <= n; ++c) {
    window.clear();
    for (int k = std::max(1, c - kBackgroundColumns / 2); k <= std::min(n, c + kBackgroundColumns / 2); ++k)
      window.push_back(at(k));
    background[static_cast<std::size_t>(c - 1)] = Median(window);
    deviation.push_back(std::fabs(at(c) - background[static_cast<std::size_t>(c - 1)]));
  }
  // A noiseless spectrum still needs a threshold above its background.
  const double sigma = std::max(1.4826 * Median(deviation), 1.0);

  std::vector<Peak> peaks;
  for (int c = 2; c < n;) {
    int last = c;  // the end of a flat top
    while (last + 1 < n && at(last + 1) == at(c)) ++last;
    const bool peak = at(c) > at(c - 1) && at(last) > at(last + 1);
    const int middle = (c + last) / 2;
    const double height = at(middle) - background[static_cast<std::size_t>(middle - 1)];
    c = last + 1;
    if (!peak || !(height > kPeakSigmas * sigma)) continue;
    const CentroidResult r = FindCentroid(spectrum, middle, centroidWidth);
    if (r.error != CentroidError::None || std::fabs(r.column - static_cast<float>(middle)) > 1.0f) continue;
    peaks.push_back({r.column, height});
  }
  // Two maxima on one line (a dip in a flat top) measure as one: keep the higher.
  std::vector<Peak> kept;
  for (const Peak& p : peaks) {
    if (!kept.empty() && std::fabs(p.column - kept.back().column) < 1.0f) {
      if (p.height > kept.back().height) kept.back() = p;
      continue;
    }
    kept.push_back(p);
  }
  return kept;
}

LineSet IdentifyLines(std::span<const double> spectrum, const WavelengthOfColumn& wavelengthOf,
                      const std::vector<ListLine>& list, double tolerancePixels, int centroidWidth, int pixels) {
  struct Match {
    float column;
    std::size_t entry;
  };
  std::vector<Match> matches;
  for (const Peak& p : FindPeaks(spectrum, centroidWidth)) {
    const double predicted = wavelengthOf(p.column);
    const double dispersion = std::fabs(wavelengthOf(p.column + 0.5) - wavelengthOf(p.column - 0.5));
    const double reach = tolerancePixels * dispersion;
    if (!std::isfinite(predicted) || !std::isfinite(reach)) continue;
    // A wavelength the list names twice is one line in reach, not two: the first entry stands.
    std::size_t nearest = list.size();
    bool ambiguous = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
      const double distance = std::fabs(list[i].wavelength - predicted);
      if (!(distance <= reach)) continue;
      if (nearest == list.size()) {
        nearest = i;
      } else if (list[i].wavelength != list[nearest].wavelength) {
        ambiguous = true;
      }
    }
    if (nearest != list.size() && !ambiguous) matches.push_back({p.column, nearest});
  }
  LineSet lines;
  for (const Match& m : matches) {
    const auto sameEntry = [&](const Match& o) { return o.entry == m.entry; };
    if (std::count_if(matches.begin(), matches.end(), sameEntry) != 1) continue;
    const ListLine& l = list[m.entry];
    if (AddLine(lines, {l.wavelength, m.column, l.label, true}, pixels) != AddLineError::None) continue;
  }
  return lines;
}

}  // namespace lxr4
