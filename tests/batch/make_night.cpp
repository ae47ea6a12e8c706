// make_night write DIR: a small synthetic night as a camera records it (raw/
// bias, dark, flat, neon lamp and object frames, a saved calibration with the
// lamp it was made on, night.toml), one object frame with no trace to fail;
// make_night check DIR: the spectra lxr4-reduce wrote match the night's known
// spectrum, and their wavelengths those of the lamp nearest each in time.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calibration/lamps.h"
#include "imagefile/fits_frame_writer.h"
#include "synthetic_night.h"

namespace {

namespace fs = std::filesystem;
using lxr4::FitsFrame;
using lxr4::testing::SyntheticNight;

// Wavelength at pixel p (from 1) of the saved calibration: 4000 A at the
// first, 5 A a pixel. Tonight the lamps have moved by these pixels.
double Wavelength(double p) { return 4000 + 5 * (p - 1); }
constexpr double kLampShift[2] = {2.5, -1.5};  // arc1 before obj1, arc2 after obj2

// The neon lines on the detector at a shift: pixels from 0 and amplitudes.
void NeonLines(int pixels, double shift, std::vector<double>& at, std::vector<double>& amplitude) {
  for (const lxr4::ListLine& line : lxr4::LampLines("Ne")) {
    const double p = (line.wavelength - 4000) / 5 + shift;  // from 0
    if (p < 3 || p > pixels - 4) continue;
    at.push_back(p);
    amplitude.push_back(300 + 3000 * std::fmod(line.wavelength * 0.37, 1.0));
  }
}

bool Save(const fs::path& path, const FitsFrame& f, const std::string& date) {
  lxr4::FrameFile shape;
  shape.width = f.width;
  shape.height = f.height;
  shape.bitpix = -32;
  shape.textKeys = {{"IMAGETYP", f.facts.imageType}, {"BIASSEC", f.facts.biasSection},
                    {"TRIMSEC", f.facts.trimSection}, {"OBJECT", "Synthetic star"}, {"DATE-OBS", date}};
  if (f.facts.exposure) shape.numberKeys = {{"EXPTIME", *f.facts.exposure}};
  const std::vector<double> values(f.values.begin(), f.values.end());
  const auto bytes = lxr4::WriteFrameFile(shape, values);
  if (!bytes) return false;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
  return static_cast<bool>(out);
}

int Write(const fs::path& dir) {
  const SyntheticNight night;
  fs::create_directories(dir / "raw");
  bool ok = true;
  for (int i = 0; i < 3; ++i) {
    const std::string n = std::to_string(i + 1);
    ok = ok && Save(dir / "raw" / ("bias" + n + ".fits"), night.Bias(i), "2026-03-01T18:00:0" + n);
    ok = ok && Save(dir / "raw" / ("dark" + n + ".fits"), night.Dark(i), "2026-03-01T18:10:0" + n);
    ok = ok && Save(dir / "raw" / ("flat" + n + ".fits"), night.Flat(i), "2026-03-01T18:20:0" + n);
  }
  const int pixels = night.recipe().width;
  for (int i = 0; i < 2; ++i) {
    std::vector<double> at, amplitude;
    NeonLines(pixels, kLampShift[i], at, amplitude);
    ok = ok && Save(dir / "raw" / ("arc" + std::to_string(i + 1) + ".fits"), night.Arc(i, at, amplitude),
                    i == 0 ? "2026-03-01T20:55:00" : "2026-03-01T21:16:00");
  }
  ok = ok && Save(dir / "raw" / "obj1.fits", night.Object(1), "2026-03-01T21:00:00");
  ok = ok && Save(dir / "raw" / "obj2.fits", night.Object(2, 300, 3), "2026-03-01T21:10:00");
  FitsFrame blank = night.Bias(9);  // an object frame the shutter never opened on
  blank.facts.imageType = "OBJECT";
  blank.facts.exposure = 300;
  ok = ok && Save(dir / "raw" / "obj3.fits", blank, "2026-03-01T21:20:00");
  std::ofstream cal(dir / "night.cal");
  cal << "LXR4 calibration 1\ngroove_density 300\ndeviation_angle 30\nreference_column 381\ncorrection on\n"
         "pixel_size none\ndetector_pixels " << pixels << "\nmodel polynomial\norder 1\n"
      << "centre " << (pixels + 1) / 2.0 << "\nscale " << (pixels - 1) / 2.0 << "\ncoefficients "
      << (Wavelength(1) + Wavelength(pixels)) / 2 << " " << (Wavelength(pixels) - Wavelength(1)) / 2 << "\n"
      << "line " << Wavelength(101) << " 101 used Ne I\nline " << Wavelength(501) << " 501 used Ne I\n"
      << "lamp_file arc0.fits\nlamp_detector " << pixels << " 1 1 rows\n";
  // The saved lamp: the arc at the calibration's own pixels, summed across the slit.
  std::vector<double> at, amplitude;
  NeonLines(pixels, 0, at, amplitude);
  for (int x = 0; x < pixels; ++x) {
    double sum = 0;
    for (std::size_t k = 0; k < at.size(); ++k) sum += amplitude[k] * std::exp(-0.5 * (x - at[k]) * (x - at[k]) / 1.44);
    cal << (x % 16 == 0 ? "lamp_arc" : "") << " " << sum * night.recipe().height << (x % 16 == 15 || x == pixels - 1 ? "\n" : "");
  }
  std::ofstream toml(dir / "night.toml");
  toml << "# a synthetic night\n[masters]\nbias = [\"raw/bias*.fits\"]\ndark = [\"raw/dark*.fits\"]\n"
          "flat = [\"raw/flat*.fits\"]\ncombine = \"median\"\n\n[calibration]\nfile = \"night.cal\"\nlamps = [\"raw/arc*.fits\"]\n\n"
          "[extraction]\nmethod = \"optimal\"\naperture = 8\nsky = \"median\"\nsky-offset = 12\nsky-width = 10\n"
          "cosmic-rays = true\ngain = 1\nread-noise = 5\n\n[objects]\nframes = [\"raw/obj*.fits\"]\noutput = \"out\"\n";
  return ok && cal && toml ? 0 : 1;
}

// Each written spectrum's wavelengths and values against the truth.
int Check(const fs::path& dir) {
  const SyntheticNight night;
  int status = 0;
  for (int k = 0; k < 2; ++k) {
    const std::string stem = k == 0 ? "obj1" : "obj2";
    std::ifstream in(dir / "out" / (stem + ".csv"));
    std::string line;
    std::getline(in, line);  // the header
    std::vector<double> errors;
    double worstWave = 0;
    while (std::getline(in, line)) {
      double pixel = 0, wave = 0, value = 0;
      if (std::sscanf(line.c_str(), "%lf,%lf,%lf", &pixel, &wave, &value) != 3) break;
      worstWave = std::max(worstWave, std::abs(wave - Wavelength(pixel - kLampShift[k])));
      errors.push_back(std::abs(value / night.Spectrum(static_cast<int>(pixel) - 1) - 1));
    }
    if (errors.size() != static_cast<std::size_t>(night.recipe().width)) {
      std::printf("%s.csv: %zu rows, not %d\n", stem.c_str(), errors.size(), night.recipe().width);
      status = 1;
      continue;
    }
    std::nth_element(errors.begin(), errors.begin() + static_cast<std::ptrdiff_t>(errors.size() / 2), errors.end());
    const double median = errors[errors.size() / 2];
    std::printf("%s: median |extracted / true - 1| = %.5f, wavelengths within %.4f A of its lamp's\n", stem.c_str(),
                median, worstWave);
    if (!(median < 0.005) || !(worstWave < 0.5)) status = 1;  // a tenth of a pixel
    if (!fs::exists(dir / "out" / (stem + ".fits"))) {
      std::printf("%s.fits missing\n", stem.c_str());
      status = 1;
    }
  }
  for (const char* master : {"master-bias.fits", "master-dark.fits", "master-flat.fits"})
    if (!fs::exists(dir / "out" / master)) {
      std::printf("%s missing\n", master);
      status = 1;
    }
  if (fs::exists(dir / "out" / "obj3.csv")) {
    std::printf("obj3.csv written for a failed frame\n");
    status = 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "write") return Write(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "check") return Check(argv[2]);
  std::fprintf(stderr, "usage: make_night write|check DIR\n");
  return 2;
}
