#include "calibration/auto_identify.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <random>

#include "calibration/arc_peaks.h"
#include "calibration/line_fit.h"
#include "calibration/small_solve.h"

namespace lxr4 {

namespace {

constexpr int kJudgingPeaks = 100;       // the strongest peaks judge the consensus
constexpr int kVotingPeaks = 50;         // the strongest of them vote for linear solutions
constexpr int kRoughSolutions = 3;       // linear solutions tried from the vote
constexpr double kVoteBinPixels = 2.0;   // the vote's central-wavelength cell, in pixels
constexpr double kMiddleShare = 0.6;     // of the detector, where the consensus is sought
constexpr int kRansacRounds = 2000;      // per linear solution
constexpr double kRansacPixels = 2.0;    // a peak agrees with a model within this
constexpr double kNearRough = 10.0;      // pixels: candidates this near the rough solution are drawn oftener
constexpr double kStartTolerance = 3.0;  // pixels, the refinement's first reach
constexpr double kFinalTolerance = 1.5;  // pixels, where it ends
constexpr double kJudgePixels = 1.0;     // the reach a refined solution is judged by
constexpr double kSigmaFloorPixels = 0.05;
constexpr int kRefinementRounds = 40;
// List lines closer than this share of a peak's width are not told apart (a
// merged list of several gases has many pairs closer than a whole width, of
// which a lamp shows one).
constexpr double kCrowdedWidths = 0.25;
// Pixels either side over which the list's local density is counted: the
// chance that a peak lands near some list line by accident.
constexpr double kDensityPixels = 25.0;
// The share by which the dispersion in the middle of the detector may differ
// from the mean over it that a start is judged by.
constexpr double kDispersionMargin = 0.05;
// A peak's say in the agreement: 1 for the strongest, halved at this rank, so
// that a solution is judged first by the lines a lamp shows most clearly.
constexpr double kStrengthRank = 25.0;
// Distinct models kept from each rough solution's consensus, each refined.
constexpr std::size_t kConsensusModels = 3;

// wavelength = sum c[k] t^k, t = (pixel - centre) / scale
struct Poly {
  int order = 1;
  double centre = 0, scale = 1;
  std::array<double, kMaxPolynomialOrder + 1> c{};

  [[nodiscard]] double At(double pixel) const {
    const double t = (pixel - centre) / scale;
    double v = 0;
    for (int k = order; k >= 0; --k) v = v * t + c[static_cast<std::size_t>(k)];
    return v;
  }
  [[nodiscard]] double Slope(double pixel) const {
    const double t = (pixel - centre) / scale;
    double v = 0;
    for (int k = order; k >= 1; --k) v = v * t + k * c[static_cast<std::size_t>(k)];
    return v / scale;
  }
};

struct Pair {
  double pixel = 0, wavelength = 0;
};

std::optional<Poly> FitPoly(const std::vector<Pair>& pairs, int order, double centre, double scale) {
  const auto m = static_cast<std::size_t>(order + 1);
  if (pairs.size() < m) return std::nullopt;
  std::array<std::array<double, kMaxPolynomialOrder + 2>, kMaxPolynomialOrder + 1> a{};
  for (const Pair& p : pairs) {
    std::array<double, kMaxPolynomialOrder + 1> powers{};
    const double t = (p.pixel - centre) / scale;
    powers[0] = 1;
    for (std::size_t k = 1; k < m; ++k) powers[k] = powers[k - 1] * t;
    for (std::size_t i = 0; i < m; ++i) {
      for (std::size_t j = 0; j < m; ++j) a[i][j] += powers[i] * powers[j];
      a[i][m] += powers[i] * p.wavelength;
    }
  }
  Poly poly{order, centre, scale, {}};
  if (!SolveSmallSystem<kMaxPolynomialOrder + 1>(a, m, poly.c)) return std::nullopt;
  return poly;
}

// True when the model rises (sign > 0) or falls steadily over pixels 1..n
// (or first..last) with a dispersion between lo and hi Angstroms per pixel.
bool Plausible(const Poly& q, int n, double sign, double lo, double hi, double first = 1, double last = -1) {
  constexpr int kSteps = 32;
  if (last < first) last = n;
  for (int s = 0; s <= kSteps; ++s) {
    const double d = sign * q.Slope(first + (last - first) * s / double{kSteps});
    if (!(d >= lo && d <= hi)) return false;
  }
  return true;
}

// The index of the list wavelength nearest `w` (the list sorted, not empty).
std::size_t Nearest(const std::vector<double>& list, double w) {
  const auto it = std::lower_bound(list.begin(), list.end(), w);
  if (it == list.begin()) return 0;
  if (it == list.end()) return list.size() - 1;
  const auto i = static_cast<std::size_t>(it - list.begin());
  return (w - list[i - 1] <= list[i] - w) ? i - 1 : i;
}

struct Search {
  int pixels = 0;
  double sign = 1, slopeLo = 0, slopeHi = 0;  // the allowed dispersion, Angstroms per pixel (unsigned)
  std::vector<double> list;                   // wavelengths, sorted, each once
  double densityReach = 1;                    // Angstroms either side of a wavelength, for Density
  // List lines per Angstrom within densityReach of densityFrom + k densityStep.
  std::vector<double> density;
  double densityFrom = 0, densityStep = 1;
  std::vector<std::string> labels;
  std::vector<ArcPeak> peaks;
  struct Voter {
    double pixel, weight;  // weight from the peak's rank in strength, see kStrengthRank
  };
  std::vector<Voter> voters;  // the strongest peaks, strongest first
  // Those in the middle of the detector, where a quadratic follows a real
  // arc to a pixel: the peaks the consensus is drawn from and judged by.
  std::vector<Voter> judges;
  double reach = 0;  // pixels a calibration start may be off by; 0: the default band
};

// List lines per Angstrom around `w`, counted over +-s.densityReach: looked
// up in a table an eighth of that apart, as the search asks it often.
void TabulateDensity(Search& s) {
  s.densityStep = s.densityReach / 8;
  s.densityFrom = s.list.front() - s.densityReach;
  const auto cells =
      static_cast<std::size_t>((s.list.back() - s.list.front() + 2 * s.densityReach) / s.densityStep) + 2;
  s.density.assign(cells, 0);
  for (std::size_t k = 0; k < cells; ++k) {
    const double w = s.densityFrom + static_cast<double>(k) * s.densityStep;
    const auto lo = std::lower_bound(s.list.begin(), s.list.end(), w - s.densityReach);
    const auto hi = std::upper_bound(lo, s.list.end(), w + s.densityReach);
    s.density[k] = static_cast<double>(hi - lo) / (2 * s.densityReach);
  }
}
double Density(const Search& s, double w) {
  const double k = std::round((w - s.densityFrom) / s.densityStep);
  return k >= 0 && k < static_cast<double>(s.density.size()) ? s.density[static_cast<std::size_t>(k)] : 0;
}

// The agreement 1 - (r / reach)^2 a peak earns by chance alone (r the
// distance to its nearest list line) where `lines` list lines fall within
// its reach on average, scattered at random: about 2/3 of `lines` where the
// list is sparse, 1 where it is so dense that any peak lands on a line.
double ChanceAgreement(double lines) {
  if (lines < 1e-3) return 2.0 / 3.0 * lines;
  const double e = std::exp(-lines);
  return 1 - e - 2 / (lines * lines) * (1 - e * (1 + lines + lines * lines / 2));
}

// The linear solutions (dispersion, central wavelength) most (peak, list line)
// pairs vote for beyond chance: each pair's vote weighs its peak's strength
// and less the more list lines crowd its line, and a cell counts only what it
// holds above the cells around it, where the same list gives the same
// peaks as many chance votes.
std::vector<Poly> VoteLinear(const Search& s, const AutoIdentifyStart& start) {
  const double pc = (s.pixels + 1) / 2.0, d0 = std::fabs(start.dispersion);
  const int nD = std::clamp(s.pixels / 8, 40, 600);
  // The centre lies within the tolerance of the detector's span, which is
  // up to s.slopeHi per pixel.
  const double halfRange = start.tolerance * s.slopeHi * s.pixels, bin = kVoteBinPixels * d0;
  const double low = start.centralWavelength - halfRange;
  const int nB = static_cast<int>(std::ceil(2 * halfRange / bin)) + 1;
  // Cell (k, b) at b nD + k: a pair's cells, k after k, lie mostly side by side.
  std::vector<float> votes(static_cast<std::size_t>(nD) * static_cast<std::size_t>(nB));
  const auto cell = [&](int k, int b) {
    return static_cast<std::size_t>(b) * static_cast<std::size_t>(nD) + static_cast<std::size_t>(k);
  };
  std::vector<float> worth;  // of a vote for each list line: 1 / (1 + other lines in a score's two cells)
  for (const double w : s.list) {
    const double others = Density(s, w) * 2 * s.densityReach - 1;
    worth.push_back(static_cast<float>(1 / (1 + others * bin / s.densityReach)));
  }
  const auto dispersionAt = [&](int k) {
    return s.sign * (s.slopeLo + (s.slopeHi - s.slopeLo) * k / double(nD - 1));
  };
  const double step = (s.slopeHi - s.slopeLo) / (nD - 1);
  for (std::size_t i = 0; i < s.voters.size() && i < static_cast<std::size_t>(kVotingPeaks); ++i) {
    const auto& [p, strength] = s.voters[i];
    const double x = p - pc;
    // Cell b(k) = (w - sign (slopeLo + k step) x - low) / bin runs linearly with k.
    const double perStep = -s.sign * step * x / bin;
    for (std::size_t j = 0; j < s.list.size(); ++j) {
      const double w = s.list[j];
      const double b0 = (w - s.sign * s.slopeLo * x - low) / bin;
      double first = 0, last = nD - 1;
      if (perStep > 0) {
        first = std::max(first, std::ceil(-b0 / perStep));
        last = std::min(last, std::floor((nB - 1e-9 - b0) / perStep));
      } else if (perStep < 0) {
        first = std::max(first, std::ceil((nB - 1e-9 - b0) / perStep));
        last = std::min(last, std::floor(-b0 / perStep));
      } else if (b0 < 0 || b0 >= nB) {
        continue;
      }
      if (!(first <= last)) continue;
      const int kFirst = static_cast<int>(first), kLast = static_cast<int>(last);
      const float vote = static_cast<float>(strength) * worth[j];
      for (int k = kFirst; k <= kLast; ++k) {
        const double b = b0 + perStep * k;
        if (b >= 0 && b < nB) votes[cell(k, static_cast<int>(b))] += vote;
      }
    }
  }
  // A cell's score takes in its neighbour, so that a solution on a cell's
  // edge counts whole, less what the cells around (as far as the list's
  // density is counted) hold on average: the votes chance alone would give.
  const int around = std::max(2, static_cast<int>(s.densityReach / bin));
  std::vector<float> window(static_cast<std::size_t>(nD));  // the votes of cells lo..hi-1 at each k
  const auto forEachScore = [&](const auto& take) {
    std::fill(window.begin(), window.end(), 0.0f);
    int lo = 0, hi = 0;
    for (int b = 0; b + 1 < nB; ++b) {
      for (; hi < std::min(nB, b + 2 + around); ++hi)
        for (int k = 0; k < nD; ++k) window[static_cast<std::size_t>(k)] += votes[cell(k, hi)];
      for (; lo < b - around; ++lo)
        for (int k = 0; k < nD; ++k) window[static_cast<std::size_t>(k)] -= votes[cell(k, lo)];
      const float share = 2 / static_cast<float>(hi - lo);
      for (int k = 0; k < nD; ++k)
        take(k, b, votes[cell(k, b)] + votes[cell(k, b + 1)] - share * window[static_cast<std::size_t>(k)]);
    }
  };
  std::vector<std::pair<int, int>> taken;
  std::vector<Poly> solutions;
  for (int round = 0; round < kRoughSolutions; ++round) {
    float best = 0;
    int bestK = -1, bestB = -1;
    forEachScore([&](int k, int b, float score) {
      if (!(score > best)) return;
      const bool near = std::any_of(taken.begin(), taken.end(), [&](const auto& t) {
        return std::abs(t.first - k) <= nD / 20 + 1 && std::abs(t.second - b) <= 3;
      });
      if (!near) best = score, bestK = k, bestB = b;
    });
    if (bestK < 0) break;
    taken.emplace_back(bestK, bestB);
    Poly line{1, pc, 1, {}};
    line.c[0] = low + (bestB + 1) * bin;
    line.c[1] = dispersionAt(bestK);
    solutions.push_back(line);
  }
  return solutions;
}

// How well `peaks` agree with `q` beyond chance: each within `reach` pixels
// of a list line earns 1 - (r / reach)^2, less what it would earn by chance
// where it lands, so that a stretch of dense list explains nothing.
double Agreement(const Search& s, const std::vector<Search::Voter>& peaks, const Poly& q, double reach) {
  double total = 0;
  for (const auto& [p, strength] : peaks) {
    const double w = q.At(p), slope = std::fabs(q.Slope(p));
    const double r = std::fabs(s.list[Nearest(s.list, w)] - w) / slope / reach;
    total += strength * ((r < 1 ? 1 - r * r : 0) - ChanceAgreement(Density(s, w) * 2 * reach * slope));
  }
  return total;
}

// The pairs of the strongest peaks and list lines within kRansacPixels of `q`, one per peak.
std::vector<Pair> Inliers(const Search& s, const Poly& q, double reach) {
  std::vector<Pair> pairs;
  for (const Search::Voter& v : s.judges) {
    const double w = q.At(v.pixel);
    const double line = s.list[Nearest(s.list, w)];
    if (std::fabs((line - w) / q.Slope(v.pixel)) < reach) pairs.push_back({v.pixel, line});
  }
  return pairs;
}

// Quadratics through three candidate pairs near `rough` at a time: the few
// distinct ones the strongest peaks agree with most, each refitted on those
// that do; best first.
std::vector<std::pair<Poly, double>> Consensus(const Search& s, const std::function<double(double)>& rough,
                                               std::mt19937& random) {
  // Pixels: how far a real arc bends from a line, or the start is known to be off.
  const double band = s.reach > 0 ? s.reach : std::max(10.0, 0.03 * s.pixels);
  struct Candidate {
    double pixel, wavelength;
    std::size_t peak;
  };
  std::vector<Candidate> candidates;
  std::vector<double> weights;
  for (std::size_t i = 0; i < s.judges.size(); ++i) {
    const double p = s.judges[i].pixel, w = rough(p);
    const double slope = std::fabs(rough(p + 0.5) - rough(p - 0.5));
    if (!std::isfinite(w) || !(slope > 0)) continue;
    const auto first = std::lower_bound(s.list.begin(), s.list.end(), w - band * slope);
    for (auto it = first; it != s.list.end() && *it <= w + band * slope; ++it) {
      const double r = (*it - w) / slope / kNearRough;  // nearer the rough solution, likelier
      candidates.push_back({p, *it, i});
      weights.push_back(1 / (1 + r * r));
    }
  }
  if (candidates.size() < 3) return {};
  std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
  const double centre = (s.pixels + 1) / 2.0, scale = std::max(1.0, (s.pixels - 1) / 2.0);
  // Two models are the same when they part by less than the reach across the detector.
  const auto same = [&](const Poly& a, const Poly& b) {
    for (const double p : {1.0, centre, double(s.pixels)})
      if (std::fabs(a.At(p) - b.At(p)) > kRansacPixels * std::fabs(a.Slope(p))) return false;
    return true;
  };
  std::vector<std::pair<Poly, double>> top;  // best first
  const auto offer = [&](const Poly& q, double score) {
    if (!(score > 0) || (top.size() == kConsensusModels && score <= top.back().second)) return;
    const auto twin = std::find_if(top.begin(), top.end(), [&](const auto& t) { return same(t.first, q); });
    if (twin != top.end()) {
      if (score <= twin->second) return;
      top.erase(twin);
    } else if (top.size() == kConsensusModels) {
      top.pop_back();
    }
    top.insert(std::find_if(top.begin(), top.end(), [&](const auto& t) { return t.second < score; }),
               {q, score});
  };
  for (int round = 0; round < kRansacRounds; ++round) {
    std::array<Candidate, 3> c{candidates[pick(random)], candidates[pick(random)], candidates[pick(random)]};
    std::sort(c.begin(), c.end(), [](const Candidate& a, const Candidate& b) { return a.pixel < b.pixel; });
    if (c[0].peak == c[1].peak || c[1].peak == c[2].peak) continue;
    if (!(s.sign * (c[1].wavelength - c[0].wavelength) > 0 &&
          s.sign * (c[2].wavelength - c[1].wavelength) > 0))
      continue;
    const std::optional<Poly> q =
        FitPoly({{c[0].pixel, c[0].wavelength}, {c[1].pixel, c[1].wavelength}, {c[2].pixel, c[2].wavelength}},
                2, centre, scale);
    if (!q || !Plausible(*q, s.pixels, s.sign, s.slopeLo * 0.8, s.slopeHi * 1.2)) continue;
    offer(*q, Agreement(s, s.judges, *q, kRansacPixels));
  }
  // Refitted on the peaks that agree, a quadratic and then a cubic, kept
  // while they agree better: three lines give a rough model, many a close one.
  for (auto& [best, bestScore] : top)
    for (int order = 2; order <= 3; ++order) {
      const std::vector<Pair> in = Inliers(s, best, kRansacPixels);
      if (in.size() < static_cast<std::size_t>(3 * (order + 1))) break;
      const std::optional<Poly> refit = FitPoly(in, order, centre, scale);
      if (!refit || !Plausible(*refit, s.pixels, s.sign, s.slopeLo * 0.8, s.slopeHi * 1.2)) break;
      const double score = Agreement(s, s.judges, *refit, kRansacPixels);
      if (score < bestScore) break;
      best = *refit, bestScore = score;
    }
  return top;
}

struct Match {
  std::size_t peak, line;
  double residual;  // pixels
};

// Each peak (not a blend) from pixel `first` to `last` matched to its nearest list line within `reach`
// pixels through `q`, when that line's nearest peak is this one and no
// other list line lies within the peak's width of it; in pixel order, the
// wavelengths running one way.
std::vector<Match> MatchMutual(const Search& s, const Poly& q, double reach, double width, double first,
                               double last) {
  std::vector<double> predicted;
  for (const ArcPeak& p : s.peaks) predicted.push_back(q.At(p.pixel));
  std::vector<double> sorted = predicted;  // q is monotonic, so this is predicted or its reverse
  std::sort(sorted.begin(), sorted.end());
  std::vector<Match> matches;
  for (std::size_t i = 0; i < s.peaks.size(); ++i) {
    if (s.peaks[i].blended || s.peaks[i].pixel < first || s.peaks[i].pixel > last) continue;
    const double slope = q.Slope(s.peaks[i].pixel);
    const std::size_t j = Nearest(s.list, predicted[i]);
    const double r = (s.list[j] - predicted[i]) / slope;
    if (!(std::fabs(r) <= reach)) continue;
    // Another list line about as near is a second answer: the match stands
    // only when that one lies three times as far and beyond a share of the
    // peak's width (closer lines may both shine, as one blended peak).
    const std::size_t other =
        (j > 0 && (j + 1 == s.list.size() || predicted[i] - s.list[j - 1] < s.list[j + 1] - predicted[i]))
            ? j - 1
            : j + 1;
    const bool crowded = other < s.list.size() && std::fabs((s.list[other] - predicted[i]) / slope) <
                                                      std::max(kCrowdedWidths * width, 3 * std::fabs(r));
    if (crowded) continue;
    const double nearestPeak = sorted[Nearest(sorted, s.list[j])];
    if (nearestPeak != predicted[i]) continue;
    matches.push_back({i, j, r});
  }
  // A crossing (possible only where the reach exceeds a spacing) keeps the closer match.
  for (bool changed = true; changed;) {
    changed = false;
    for (std::size_t k = 1; k < matches.size(); ++k) {
      if (s.sign * (s.list[matches[k].line] - s.list[matches[k - 1].line]) > 0) continue;
      const std::size_t drop =
          std::fabs(matches[k].residual) > std::fabs(matches[k - 1].residual) ? k : k - 1;
      matches.erase(matches.begin() + static_cast<std::ptrdiff_t>(drop));
      changed = true;
      break;
    }
  }
  return matches;
}

double MedianOf(std::vector<double> v) {
  if (v.empty()) return 0;
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

// Leave-one-out rms (Angstroms) of `order` over the pairs; infinity when it
// cannot be judged. Each left-out residual is the full fit's residual over
// 1 - h (h the line's leverage), which equals refitting without the line.
double LeaveOneOut(const std::vector<Pair>& pairs, int order, double centre, double scale) {
  const auto m = static_cast<std::size_t>(order + 1);
  if (pairs.size() < m + 1) return INFINITY;
  const std::optional<Poly> q = FitPoly(pairs, order, centre, scale);
  if (!q) return INFINITY;
  constexpr std::size_t kTerms = kMaxPolynomialOrder + 1;
  std::array<std::array<double, kTerms + 1>, kTerms> normal{};
  const auto powersOf = [&](double pixel) {
    std::array<double, kTerms> powers{};
    const double t = (pixel - centre) / scale;
    powers[0] = 1;
    for (std::size_t k = 1; k < m; ++k) powers[k] = powers[k - 1] * t;
    return powers;
  };
  for (const Pair& p : pairs) {
    const auto powers = powersOf(p.pixel);
    for (std::size_t i = 0; i < m; ++i)
      for (std::size_t j = 0; j < m; ++j) normal[i][j] += powers[i] * powers[j];
  }
  std::array<std::array<double, kTerms>, kTerms> inverse{};  // columns of the normal matrix's inverse
  for (std::size_t col = 0; col < m; ++col) {
    auto system = normal;
    for (std::size_t i = 0; i < m; ++i) system[i][m] = i == col ? 1 : 0;
    if (!SolveSmallSystem<kTerms>(system, m, inverse[col])) return INFINITY;
  }
  double sum = 0;
  for (const Pair& p : pairs) {
    const auto powers = powersOf(p.pixel);
    double leverage = 0;
    for (std::size_t i = 0; i < m; ++i)
      for (std::size_t j = 0; j < m; ++j) leverage += powers[i] * inverse[j][i] * powers[j];
    if (!(leverage < 1 - 1e-9)) return INFINITY;
    const double r = (p.wavelength - q->At(p.pixel)) / (1 - leverage);
    sum += r * r;
  }
  const double rms = std::sqrt(sum / static_cast<double>(pairs.size()));
  return std::isfinite(rms) ? rms : INFINITY;
}

OrderChoice ChooseOrder(const std::vector<Pair>& pairs, int maxOrder, double centre, double scale) {
  OrderChoice choice;
  choice.leaveOneOut.fill(INFINITY);
  for (int order = 1; order <= std::min(maxOrder, kMaxPolynomialOrder); ++order) {
    const double e = LeaveOneOut(pairs, order, centre, scale);
    choice.leaveOneOut[static_cast<std::size_t>(order)] = e;
    if (!std::isfinite(e)) continue;
    if (choice.order == 0 ||
        e < (1 - kOrderGain) * choice.leaveOneOut[static_cast<std::size_t>(choice.order)])
      choice.order = order;
  }
  return choice;
}

struct Refined {
  std::vector<Match> matches;
  Poly model;  // the fit through them
};

// Match, fit, clip and tighten until the matches stay; the final matches.
// The lines matched grow outward from those the model came from, a tenth of
// the detector a round, and the order rises by one a round at most, so that
// no model is trusted far beyond its lines.
Refined Refine(const Search& s, Poly q, double width) {
  const double centre = (s.pixels + 1) / 2.0, scale = std::max(1.0, (s.pixels - 1) / 2.0);
  double growth = 0.1 * s.pixels;
  double reach = kStartTolerance, lo = INFINITY, hi = -INFINITY;
  // The model is surest in the middle: start with its lines there (all of
  // them when fewer lie there).
  const std::vector<Pair> inliers = Inliers(s, q, kRansacPixels);
  const auto middle = [&](const Pair& p) {
    return std::fabs(p.pixel - centre) <= kMiddleShare * s.pixels / 2;
  };
  const bool fewInMiddle = std::count_if(inliers.begin(), inliers.end(), middle) < kMinAutoLines;
  for (const Pair& p : inliers)
    if (fewInMiddle || middle(p)) lo = std::min(lo, p.pixel), hi = std::max(hi, p.pixel);
  if (!(lo <= hi)) return {{}, q};
  std::vector<Match> kept, previous;
  double previousFirst = 0, previousLast = 0;
  for (int round = 0; round < kRefinementRounds; ++round) {
    const double first = std::max(1.0, lo - growth), last = std::min(double(s.pixels), hi + growth);
    std::vector<Match> matches = MatchMutual(s, q, reach, width, first, last);
    if (matches.size() < static_cast<std::size_t>(kMinAutoLines))
      return {round > 0 ? previous : std::vector<Match>{}, q};
    std::vector<Pair> pairs;
    for (const Match& m : matches) pairs.push_back({s.peaks[m.peak].pixel, s.list[m.line]});
    // Clip at 3 sigma of the median absolute deviation (pixels) from a fit of
    // the order so far; only then judge the order, which outliers would spoil.
    // A round that spoils the model ends the search with the last round's lines.
    const Refined fallback{round > 0 ? previous : std::vector<Match>{}, q};
    const std::optional<Poly> trial =
        FitPoly(pairs, std::min(q.order, static_cast<int>(pairs.size()) - 2), centre, scale);
    if (!trial) return fallback;
    std::vector<double> residuals;
    for (const Pair& p : pairs)
      residuals.push_back(std::fabs((p.wavelength - trial->At(p.pixel)) / trial->Slope(p.pixel)));
    const double sigma = std::max(kSigmaFloorPixels, 1.4826 * MedianOf(residuals));
    kept.clear();
    std::vector<Pair> keptPairs;
    for (std::size_t k = 0; k < matches.size(); ++k)
      if (residuals[k] <= 3 * sigma) kept.push_back(matches[k]), keptPairs.push_back(pairs[k]);
    if (kept.size() < static_cast<std::size_t>(kMinAutoLines)) return fallback;
    const int most = std::min(q.order + 1, static_cast<int>(keptPairs.size()) - 2);
    const int order = std::max(1, ChooseOrder(keptPairs, most, centre, scale).order);
    const std::optional<Poly> fit = FitPoly(keptPairs, order, centre, scale);
    if (!fit || !Plausible(*fit, s.pixels, s.sign, s.slopeLo * 0.5, s.slopeHi * 1.5, first, last))
      return fallback;
    // Beyond a gap with no line the reach outward doubles until it finds one.
    const double newLo = s.peaks[kept.front().peak].pixel, newHi = s.peaks[kept.back().peak].pixel;
    growth = (newLo < lo || newHi > hi) ? 0.1 * s.pixels : 2 * growth;
    lo = std::min(lo, newLo), hi = std::max(hi, newHi);
    q = *fit;
    const double next = std::max(kFinalTolerance, 0.7 * reach);
    const auto same = [](const Match& a, const Match& b) { return a.peak == b.peak && a.line == b.line; };
    const bool grown = first != previousFirst || last != previousLast || first > 1 || last < s.pixels;
    previousFirst = first, previousLast = last;
    if (next == reach && !grown &&
        std::equal(kept.begin(), kept.end(), previous.begin(), previous.end(), same))
      break;
    reach = next;
    previous = kept;
  }
  return {kept, q};
}

// How well the strongest peaks between the outermost of `refined`'s lines
// agree with its model beyond chance, within kJudgePixels; 0 without lines.
double Judge(const Search& s, const Refined& refined) {
  if (refined.matches.size() < static_cast<std::size_t>(kMinAutoLines)) return 0;
  const double first = s.peaks[refined.matches.front().peak].pixel,
               last = s.peaks[refined.matches.back().peak].pixel;
  std::vector<Search::Voter> within;
  for (const Search::Voter& v : s.voters)
    if (v.pixel >= first && v.pixel <= last) within.push_back(v);
  return Agreement(s, within, refined.model, kJudgePixels);
}

}  // namespace

OrderChoice ChooseOrderByLeaveOneOut(const LineSet& lines, int maxOrder) {
  std::vector<Pair> pairs;
  double lo = INFINITY, hi = -INFINITY;
  for (const CalibrationLine& l : lines) {
    if (!l.used || !std::isfinite(l.wavelength) || !std::isfinite(l.column)) continue;
    pairs.push_back({l.column, l.wavelength});
    lo = std::min(lo, double{l.column});
    hi = std::max(hi, double{l.column});
  }
  if (pairs.empty()) {
    OrderChoice none;
    none.leaveOneOut.fill(INFINITY);
    return none;
  }
  return ChooseOrder(pairs, maxOrder, (lo + hi) / 2, std::max(1.0, (hi - lo) / 2));
}

AutoIdentifyResult AutoIdentifyLines(std::span<const double> spectrum, const std::vector<ListLine>& list,
                                     const AutoIdentifyStart& start) {
  using E = AutoIdentifyError;
  Search s;
  s.pixels = static_cast<int>(spectrum.size());
  const int n = s.pixels;
  const bool fromCalibration = static_cast<bool>(start.calibration);
  double dispersion = start.dispersion;
  if (fromCalibration && n >= 2) dispersion = (start.calibration(n) - start.calibration(1)) / (n - 1);
  if (!std::isfinite(dispersion) || dispersion == 0 || !(start.tolerance >= 0 && start.tolerance <= 0.9) ||
      (!fromCalibration && !std::isfinite(start.centralWavelength)) || n < 2)
    return AutoIdentifyResult::Refused(E::BadStart,
                                       "The start needs a finite central wavelength, a dispersion other "
                                       "than 0 and a tolerance from 0 to 0.9.");
  s.sign = dispersion > 0 ? 1 : -1;
  if (fromCalibration && std::isfinite(start.calibrationReach)) s.reach = std::max(0.0, start.calibrationReach);
  const double tolerance = std::max(start.tolerance, 0.05);
  // A start within `tolerance` of the truth: the truth within these of the
  // start, and a margin for the dispersion's change along the detector.
  s.slopeLo = std::fabs(dispersion) / (1 + tolerance) * (1 - kDispersionMargin);
  s.slopeHi = std::fabs(dispersion) / (1 - tolerance) * (1 + kDispersionMargin);
  s.densityReach = kDensityPixels * std::fabs(dispersion);

  // The list lines that could fall on the detector, each wavelength once.
  const double centralWavelength =
      fromCalibration ? start.calibration((n + 1) / 2.0) : start.centralWavelength;
  const double reachOfList = s.slopeHi * n * (0.5 + (fromCalibration ? 0.1 : tolerance)) * 1.2;
  std::vector<ListLine> sorted;
  for (const ListLine& l : list)
    if (std::isfinite(l.wavelength) && std::fabs(l.wavelength - centralWavelength) <= reachOfList)
      sorted.push_back(l);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const ListLine& a, const ListLine& b) { return a.wavelength < b.wavelength; });
  for (const ListLine& l : sorted)
    if (s.list.empty() || l.wavelength != s.list.back())
      s.list.push_back(l.wavelength), s.labels.push_back(l.label);
  if (s.list.size() < static_cast<std::size_t>(kMinAutoLines))
    return AutoIdentifyResult::Refused(E::NoListLines, "The line list has fewer than " +
                                                           std::to_string(kMinAutoLines) +
                                                           " lines that can fall on the detector.");
  TabulateDensity(s);

  s.peaks = FindArcPeaks(spectrum).peaks;
  if (s.peaks.size() < static_cast<std::size_t>(kMinAutoLines))
    return AutoIdentifyResult::Refused(
        E::TooFewPeaks, "The spectrum shows " + std::to_string(s.peaks.size()) + " lines; at least " +
                            std::to_string(kMinAutoLines) + " are needed.");
  std::vector<ArcPeak> strongest = s.peaks;
  std::sort(strongest.begin(), strongest.end(),
            [](const ArcPeak& a, const ArcPeak& b) { return a.height > b.height; });
  strongest.resize(std::min(strongest.size(), static_cast<std::size_t>(kJudgingPeaks)));
  for (const ArcPeak& p : strongest)
    if (!p.blended)
      s.voters.push_back({p.pixel, 1 / (1 + static_cast<double>(s.voters.size()) / kStrengthRank)});
  for (const Search::Voter& v : s.voters)
    if (std::fabs(v.pixel - (n + 1) / 2.0) <= kMiddleShare * n / 2) s.judges.push_back(v);
  if (s.judges.size() < static_cast<std::size_t>(kMinAutoLines)) s.judges = s.voters;
  std::vector<double> widths;
  for (const ArcPeak& p : s.peaks) widths.push_back(p.fwhm);
  const double width = MedianOf(widths);

  std::vector<std::function<double(double)>> roughs;
  if (fromCalibration) {
    roughs.push_back(start.calibration);
  } else {
    AutoIdentifyStart linear = start;
    linear.tolerance = tolerance;
    for (const Poly& q : VoteLinear(s, linear)) roughs.push_back([q](double p) { return q.At(p); });
  }
  std::mt19937 random(20190516u);  // a fixed seed: the same arc gives the same answer
  // Each rough solution's consensus models refined; the one kept whose
  // strongest peaks agree best beyond chance.
  std::vector<Match> matches;
  double bestScore = 0;
  for (const auto& rough : roughs)
    for (const auto& found : Consensus(s, rough, random)) {
      Refined refined = Refine(s, found.first, width);
      const double score = Judge(s, refined);
      if (score > bestScore) bestScore = score, matches = std::move(refined.matches);
    }
  if (matches.size() < static_cast<std::size_t>(kMinAutoLines))
    return AutoIdentifyResult::Refused(E::NoSolution,
                                       "No consistent solution: fewer than " + std::to_string(kMinAutoLines) +
                                           " lines agree with any calibration near the start.");

  AutoIdentifyResult out;
  for (const Match& m : matches)
    out.lines.push_back({s.list[m.line], static_cast<float>(s.peaks[m.peak].pixel), s.labels[m.line], true});
  const OrderChoice choice = ChooseOrderByLeaveOneOut(out.lines, static_cast<int>(out.lines.size()) - 2);
  FitResult fit;
  for (int order = std::max(1, choice.order); order >= 1; --order) {
    fit = FitPolynomial(out.lines, order, FitOptions{.pixels = n});
    if (fit.ok()) break;
  }
  if (!fit.ok()) return AutoIdentifyResult::Refused(E::FitFailed, fit.message);
  out.calibration = fit.calibration;
  out.rms = fit.rms;
  double sumPixels = 0;
  for (const LineResidual& r : fit.lines) sumPixels += r.residualPixels * r.residualPixels;
  out.rmsPixels = std::sqrt(sumPixels / static_cast<double>(fit.lines.size()));
  out.linesUsed = static_cast<int>(out.lines.size());
  out.peaks = static_cast<int>(s.peaks.size());
  out.coverage = (out.lines.back().column - out.lines.front().column) / std::max(1.0, n - 1.0);
  const double a = FittedWavelength(out.calibration, 1), b = FittedWavelength(out.calibration, n);
  out.linesOffered = static_cast<int>(std::count_if(
      s.list.begin(), s.list.end(), [&](double w) { return w >= std::min(a, b) && w <= std::max(a, b); }));
  return out;
}

}  // namespace lxr4
