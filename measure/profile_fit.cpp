// The Levenberg-Marquardt loop of profile_fit.h, on a numerical Jacobian.
#include "measure/profile_fit.h"

#include <algorithm>
#include <cmath>

#include "base/linear_solve.h"

namespace lxr4 {
namespace {

using Params = std::vector<double>;  // amplitude, centre, fwhm[, eta]

double Model(LineProfile profile, const Params& p, double x) {
  return p[0] * LineShape(profile, x - p[1], p[2], p.size() > 3 ? p[3] : 0.0);
}

bool Admissible(const Params& p, double lo, double hi) {
  for (double v : p) {
    if (!std::isfinite(v)) return false;
  }
  return p[2] > 0 && p[1] >= lo && p[1] <= hi && (p.size() < 4 || (p[3] >= 0 && p[3] <= 1));
}

struct Problem {
  LineProfile profile;
  std::span<const double> x, y, sigma;

  double ChiSquare(const Params& p) const {
    double sum = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      const double r = (y[i] - Model(profile, p, x[i])) / sigma[i];
      sum += r * r;
    }
    return sum;
  }

  // J^T J and J^T r of the weighted residuals, J by central differences.
  void Normal(const Params& p, std::vector<double>& jtj, std::vector<double>& jtr) const {
    const std::size_t n = p.size();
    std::vector<std::vector<double>> jac(n, std::vector<double>(x.size()));
    for (std::size_t k = 0; k < n; ++k) {
      // Steps small beside each parameter's own scale: the width for centre and width.
      const double h = k == 0 ? 1e-6 * std::max(std::abs(p[0]), 1e-300) : k == 3 ? 1e-6 : 1e-5 * p[2];
      Params up = p, down = p;
      up[k] += h;
      down[k] -= h;
      for (std::size_t i = 0; i < x.size(); ++i) {
        jac[k][i] = (Model(profile, up, x[i]) - Model(profile, down, x[i])) / (2 * h) / sigma[i];
      }
    }
    jtj.assign(n * n, 0.0);
    jtr.assign(n, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i) {
      const double r = (y[i] - Model(profile, p, x[i])) / sigma[i];
      for (std::size_t a = 0; a < n; ++a) {
        jtr[a] += jac[a][i] * r;
        for (std::size_t b = 0; b < n; ++b) jtj[a * n + b] += jac[a][i] * jac[b][i];
      }
    }
  }
};

}  // namespace

std::optional<ProfileFit> FitProfile(LineProfile profile, std::span<const double> x,
                                     std::span<const double> y, std::span<const double> sigma,
                                     const ProfileParameters& start) {
  Params p{start.amplitude, start.centre, start.fwhm};
  if (profile == LineProfile::PseudoVoigt) p.push_back(std::clamp(start.lorentzFraction, 0.0, 1.0));
  const int n = static_cast<int>(p.size());
  const auto un = static_cast<std::size_t>(n);
  if (x.size() <= un) return std::nullopt;
  const double lo = x.front(), hi = x.back();
  if (!Admissible(p, lo, hi)) return std::nullopt;
  const Problem problem{profile, x, y, sigma};

  double chi = problem.ChiSquare(p);
  double lambda = 1e-3;
  std::vector<double> jtj, jtr;
  bool converged = false;
  for (int iteration = 0; iteration < 500 && !converged; ++iteration) {
    problem.Normal(p, jtj, jtr);
    bool stepped = false;
    while (lambda < 1e12) {
      std::vector<double> a = jtj;
      for (std::size_t k = 0; k < un; ++k) a[k * un + k] *= 1 + lambda;
      if (!InvertMatrix(a, n)) {
        lambda *= 10;
        continue;
      }
      Params trial = p;
      for (std::size_t r = 0; r < un; ++r) {
        for (std::size_t c = 0; c < un; ++c) trial[r] += a[r * un + c] * jtr[c];
      }
      if (trial.size() > 3) trial[3] = std::clamp(trial[3], 0.0, 1.0);
      const double trialChi = Admissible(trial, lo, hi) ? problem.ChiSquare(trial) : INFINITY;
      if (trialChi <= chi) {
        converged = chi - trialChi <= 1e-10 * std::max(chi, 1e-300);
        p = trial;
        chi = trialChi;
        lambda = std::max(lambda / 10, 1e-12);
        stepped = true;
        break;
      }
      lambda *= 10;
    }
    if (!stepped) converged = true;  // no step lowers chi-square: at the minimum
  }
  if (!converged || !std::isfinite(chi)) return std::nullopt;

  problem.Normal(p, jtj, jtr);
  if (!InvertMatrix(jtj, n)) return std::nullopt;
  std::vector<double> error(un);
  for (std::size_t k = 0; k < un; ++k) {
    const double v = jtj[k * un + k];
    if (!(v >= 0) || !std::isfinite(v)) return std::nullopt;
    error[k] = std::sqrt(v);
  }
  ProfileFit fit;
  fit.best = {p[0], p[1], p[2], un > 3 ? p[3] : (profile == LineProfile::Lorentzian ? 1.0 : 0.0)};
  fit.error = {error[0], error[1], error[2], un > 3 ? error[3] : 0.0};
  return fit;
}

}  // namespace lxr4
