// measure_numbers: the measurements of measure/ on numbers from the command
// line and standard input, for the checks against specutils and astropy
// (measure_specutils_check.py, barycentric_astropy_check.py).
//
//   measure_numbers line gaussian|lorentzian|voigt XMIN XMAX [C1MIN C1MAX C2MIN C2MAX]
//     reads "wavelength flux [noise]" lines
//   measure_numbers barycentric DATE-OBS EXPTIME RA DEC LONGITUDE LATITUDE HEIGHT
// Prints "name value error" lines (or the km/s); exits 1 with the message on a refusal.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "measure/barycentric.h"
#include "measure/line_measure.h"

namespace {

using namespace lxr4;

double Number(const char* text) {
  const auto v = ParseDecimal(text);
  if (!v) {
    std::cerr << "not a number: " << text << "\n";
    std::exit(2);
  }
  return *v;
}

void Print(const char* name, Estimate e) { std::printf("%s %.12g %.12g\n", name, e.value, e.error); }

int Line(int argc, char** argv) {
  LineRequest request;
  const std::string profile = argv[2];
  request.profile = profile == "lorentzian" ? LineProfile::Lorentzian
                    : profile == "voigt"    ? LineProfile::PseudoVoigt
                                            : LineProfile::Gaussian;
  request.line = {Number(argv[3]), Number(argv[4])};
  if (argc == 9) {
    request.continuum = std::array<WavelengthRegion, 2>{WavelengthRegion{Number(argv[5]), Number(argv[6])},
                                                        WavelengthRegion{Number(argv[7]), Number(argv[8])}};
  }
  std::vector<double> x, f, noise;
  std::string text;
  while (std::getline(std::cin, text)) {
    std::istringstream fields(text);
    std::string a, b, c;
    if (!(fields >> a >> b)) continue;
    x.push_back(Number(a.c_str()));
    f.push_back(Number(b.c_str()));
    if (fields >> c) noise.push_back(Number(c.c_str()));
  }
  request.wavelengths = x;
  request.fluxes = f;
  request.noise = noise;
  const auto m = MeasureLine(request);
  if (!m.ok()) {
    std::cerr << m.message << "\n";
    return 1;
  }
  Print("centroid", m.centroid);
  Print("centre", m.centre);
  Print("fwhm", m.fwhm);
  Print("moment_fwhm", m.momentFwhm);
  Print("peak", m.peak);
  Print("flux", m.flux);
  if (m.equivalentWidth) Print("equivalent_width", *m.equivalentWidth);
  Print("snr", m.snr);
  std::printf("noise %.12g 0\n", m.noise);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "line" && (argc == 5 || argc == 9)) return Line(argc, argv);
  if (what == "barycentric" && argc == 9) {
    const auto r = BarycentricVelocity({argv[2], Number(argv[3]), Number(argv[4]), Number(argv[5]),
                                        Number(argv[6]), Number(argv[7]), Number(argv[8])});
    if (!r.ok()) {
      std::cerr << r.message << "\n";
      return 1;
    }
    std::printf("%.12g\n", r.kms);
    return 0;
  }
  std::cerr << "usage: measure_numbers line|barycentric ...\n";
  return 2;
}
