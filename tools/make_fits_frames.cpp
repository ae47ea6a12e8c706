// make_fits_frames: writes the synthetic FITS frames that the golden cases load
// and the seed corpus of the FITS fuzz target, always the same bytes.
//   make_fits_frames ROOT          write them under the repository at ROOT
//   make_fits_frames --check ROOT  exit 1 unless the committed files are exactly these
#include <algorithm>
#include <cmath>
#include <span>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "imagefile/fits_frame_writer.h"

namespace {

using lxr4::FrameFile;
using lxr4::FrameScene;

struct Frame {
  std::string path;
  FrameFile shape;
  FrameScene scene;
  bool alongRows;
  std::size_t keepBytes = 0;  // above 0: the file cut to this many bytes
  std::vector<double> values = {};  // when not empty: the pixels, not the scene's
};

// A neon-argon lamp along the rows: lines of the shipped lists (air, A) at a
// known cubic dispersion from 4349 to 7514 A over 2048 pixels, moved by
// `shift` pixels, a few lines of no list among them, on a background with
// noise. Pixel p (from 1) has wavelength Lambda(p - shift).
constexpr double kLampLines[] = {
    4510.733, 4522.323, 4596.097, 4628.441, 4702.316, 5151.391, 5162.285, 5187.746, 5221.271, 5330.778,
    5341.094, 5400.562, 5421.352, 5451.652, 5495.874, 5506.113, 5558.702, 5606.733, 5650.704, 5739.520,
    5748.298, 5764.419, 5852.4879, 5881.895, 5888.584, 5912.085, 5944.8342, 5975.534, 6029.9969, 6043.223,
    6074.3377, 6096.1631, 6105.635, 6143.0626, 6163.5939, 6170.174, 6217.2812, 6266.495, 6304.7889, 6334.4278,
    6382.9917, 6402.248, 6416.307, 6506.5281, 6532.8822, 6538.112, 6598.9529, 6604.853, 6678.2762, 6717.043,
    6752.834, 6871.289, 6929.4673, 6965.4307, 7024.050, 7032.4131, 7067.2175, 7147.0416, 7173.9381, 7245.1666,
    7272.9359, 7383.9805, 7438.899, 7488.871, 7503.8691};
constexpr double kStrayLines[] = {4790.0, 5705.0, 6640.0};  // in no list
double Lambda(double p) {
  const double t = p - 1024.5;
  return 5900 + 1.55 * t + 3.0e-5 * t * t - 4e-9 * t * t * t;
}
std::vector<double> LampArc(int width, int height, double shift) {
  const auto pixelOf = [](double wavelength) {
    double p = 1024.5;
    for (int i = 0; i < 50; ++i) {
      const double slope = (Lambda(p + 0.5) - Lambda(p - 0.5));
      p -= (Lambda(p) - wavelength) / slope;
    }
    return p;
  };
  std::vector<std::pair<double, double>> lines;  // pixel, height
  std::uint32_t seed = 4242;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0;
  };
  for (const double w : kLampLines) lines.emplace_back(pixelOf(w) + shift, 800 + 20000 * next() * next());
  for (const double w : kStrayLines) lines.emplace_back(pixelOf(w) + shift, 6000);
  std::vector<double> values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row) {
    const double across = std::exp(-0.5 * std::pow((row + 0.5 - height / 2.0) / (height / 4.0), 2));
    for (int x = 1; x <= width; ++x) {
      double signal = 0;
      for (const auto& [centre, peak] : lines)
        if (std::fabs(x - centre) < 12) signal += peak * std::exp(-0.5 * std::pow((x - centre) / 1.3, 2));
      const double noise = 20 * (next() + next() + next() - 1.5);
      values[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x - 1)] =
          std::round(200 + across * signal + noise);
    }
  }
  return values;
}

// A star taken with that lamp's spectrograph (pixel p has wavelength
// Lambda(p)): a trace across the middle rows, a continuum falling to the blue,
// and H-alpha, H-beta and the sodium doublet in absorption, moved by
// `kms` (relativistic Doppler), on a background with noise.
std::vector<double> StarSpectrum(int width, int height, double kms) {
  const double beta = kms / 299792.458, doppler = std::sqrt((1 + beta) / (1 - beta));
  struct Absorption {
    double rest, depth, sigma;
  };
  constexpr Absorption kLines[] = {{4861.33, 0.5, 2.5}, {5889.951, 0.4, 1.5}, {5895.924, 0.35, 1.5}, {6562.80, 0.6, 3.0}};
  std::uint32_t seed = 777;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0;
  };
  std::vector<double> values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int row = 0; row < height; ++row) {
    const double across = std::exp(-0.5 * std::pow((row + 0.5 - height / 2.0) / 1.5, 2));
    for (int x = 1; x <= width; ++x) {
      const double w = Lambda(x);
      double flux = 4000 * (0.6 + 0.4 * (w - 4349) / 3165);
      for (const Absorption& a : kLines) flux *= 1 - a.depth * std::exp(-0.5 * std::pow((w - a.rest * doppler) / a.sigma, 2));
      const double noise = 30 * (next() + next() + next() - 1.5);
      values[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x - 1)] =
          std::round(150 + across * flux + noise);
    }
  }
  return values;
}

// A night on the lamp's spectrograph: frames of 2048 + 16 columns (the last
// 16 the overscan, BIASSEC) by 48 rows, 16-bit. Every frame carries the bias
// (a level with a pattern along the rows), the read noise and, for its
// exposure, the dark current (hot pixels among it); light meets the pixels'
// response (a few percent from pixel to pixel). A star's trace is tilted
// across the slit, sky lines fill the slit and cosmic rays strike.
constexpr int kNightWidth = 2048, kNightOverscan = 16, kNightHeight = 48;

double NightHash(int x, int y, std::uint32_t salt) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^ salt * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<double>(h & 0xffffffu) / 16777216.0;
}
double NightBias(int x, int y) { return 1000 + 4 * std::sin(x / 150.0) + 0.05 * y; }
double NightResponse(int x, int y) { return 1 + 0.06 * (NightHash(x, y, 7) - 0.5); }
double NightDarkRate(int x, int y) { return NightHash(x, y, 11) > 0.999 ? 2.0 : 0.02; }
// The instrument's throughput along the spectrum, the truth a response recovers.
double NightThroughput(double w) { return 0.25 + 0.75 * std::exp(-0.5 * std::pow((w - 6100) / 1300, 2)); }
double NightTrace(int x, double shift) { return 20.5 + shift + 6.0 * x / kNightWidth; }

// A star's flux: `hot` falls to the red like an A star with broad Balmer
// lines, else rises to the red like a K star with Na D and H-alpha.
double StarFlux(double w, bool hot) {
  double f = hot ? std::pow(w / 5500, -2.5) : std::pow(w / 5500, 1.5);
  struct Line {
    double centre, depth, sigma;
  };
  constexpr Line kHot[] = {{4861.33, 0.6, 12}, {6562.80, 0.55, 14}, {4340.47, 0.6, 11}};
  constexpr Line kCool[] = {{5889.95, 0.5, 2}, {5895.92, 0.45, 2}, {6562.80, 0.35, 3}, {5183.6, 0.3, 3}};
  for (const Line& l : hot ? std::span<const Line>(kHot) : std::span<const Line>(kCool))
    f *= 1 - l.depth * std::exp(-0.5 * std::pow((w - l.centre) / l.sigma, 2));
  return f;
}

enum class NightKind { Bias, Dark, Flat, Arc, Star, Standard };

// `shift`: the star's trace moved across the slit, pixels (guiding drifts between frames).
std::vector<double> NightFrame(NightKind kind, double seconds, std::uint32_t seed, double shift) {
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<double>(seed >> 8) / 16777216.0;
  };
  const auto gauss = [&] { return (next() + next() + next() + next() - 2) * 1.7320508; };
  const int width = kNightWidth + kNightOverscan;
  std::vector<double> light(static_cast<std::size_t>(kNightWidth) * kNightHeight, 0.0);
  const auto at = [&](int x, int y) -> double& { return light[static_cast<std::size_t>(y) * kNightWidth + static_cast<std::size_t>(x)]; };
  if (kind == NightKind::Flat)
    for (int y = 0; y < kNightHeight; ++y)
      for (int x = 0; x < kNightWidth; ++x) at(x, y) = seconds * 1500 * (0.4 + 0.6 * x / kNightWidth);
  if (kind == NightKind::Arc) {
    const std::vector<double> arc = LampArc(kNightWidth, kNightHeight, 0);
    for (std::size_t i = 0; i < light.size(); ++i) light[i] = std::max(0.0, arc[i] - 200);
  }
  if (kind == NightKind::Star || kind == NightKind::Standard) {
    const bool hot = kind == NightKind::Standard;
    const double scale = seconds * (hot ? 60 : 40);
    constexpr double kSkyLines[] = {5577.34, 5889.95, 6300.30, 6863.96};
    for (int x = 0; x < kNightWidth; ++x) {
      const double w = Lambda(x + 1), star = scale * StarFlux(w, hot) * NightThroughput(w);
      double sky = seconds * 0.2;
      for (const double l : kSkyLines) sky += seconds * 3 * std::exp(-0.5 * std::pow((w - l) / 2.2, 2));
      for (int y = 0; y < kNightHeight; ++y) {
        const double d = y - NightTrace(x, shift);
        at(x, y) = star * std::exp(-0.5 * d * d / (1.6 * 1.6)) / (1.6 * 2.5066283) + sky;
      }
    }
    for (int hit = 0; hit < 25; ++hit) {
      const int x = static_cast<int>(next() * (kNightWidth - 2)), y = static_cast<int>(next() * (kNightHeight - 2));
      const double energy = 800 + 4000 * next();
      at(x, y) += energy;
      if (next() < 0.5) at(x + 1, y) += energy * 0.4;
      if (next() < 0.3) at(x, y + 1) += energy * 0.3;
    }
  }
  std::vector<double> values(static_cast<std::size_t>(width) * kNightHeight);
  for (int y = 0; y < kNightHeight; ++y)
    for (int x = 0; x < width; ++x) {
      double v = NightBias(x, y) + 5 * gauss();
      if (x < kNightWidth) {
        const double signal = at(x, y) * NightResponse(x, y) + NightDarkRate(x, y) * seconds;
        v += signal + std::sqrt(std::max(signal, 0.0)) * gauss();
      }
      values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
          std::clamp(std::round(v), 0.0, 65535.0);
    }
  return values;
}

void AddNight(std::vector<Frame>& frames) {
  const std::string night = "tests/golden/reduce-night/";
  const auto shape = [](const char* type, const char* object, double seconds, const char* date) {
    FrameFile f;
    f.width = kNightWidth + kNightOverscan;
    f.height = kNightHeight;
    f.bitpix = 16;
    f.bzero = 32768;
    f.gzipped = true;
    f.textKeys = {{"IMAGETYP", type},
                  {"OBJECT", object},
                  {"DATE-OBS", date},
                  {"BIASSEC", "[2049:2064,1:48]"},
                  {"TRIMSEC", "[1:2048,1:48]"}};
    f.numberKeys = {{"EXPTIME", seconds}, {"XPIXSZ", 9}};
    return f;
  };
  struct Taken {
    const char* name;
    NightKind kind;
    const char* type;
    const char* object;
    double seconds;
    const char* date;
    double shift = 0;
  };
  constexpr Taken kTaken[] = {
      {"bias-1.fits.gz", NightKind::Bias, "BIAS", "bias", 0, "2026-05-02T18:00:00"},
      {"bias-2.fits.gz", NightKind::Bias, "BIAS", "bias", 0, "2026-05-02T18:01:00"},
      {"bias-3.fits.gz", NightKind::Bias, "BIAS", "bias", 0, "2026-05-02T18:02:00"},
      {"dark-1.fits.gz", NightKind::Dark, "DARK", "dark", 300, "2026-05-02T18:10:00"},
      {"dark-2.fits.gz", NightKind::Dark, "DARK", "dark", 300, "2026-05-02T18:16:00"},
      {"flat-1.fits.gz", NightKind::Flat, "FLAT", "tungsten", 10, "2026-05-02T18:30:00"},
      {"flat-2.fits.gz", NightKind::Flat, "FLAT", "tungsten", 10, "2026-05-02T18:31:00"},
      {"flat-3.fits.gz", NightKind::Flat, "FLAT", "tungsten", 10, "2026-05-02T18:32:00"},
      {"neon-argon.fits.gz", NightKind::Arc, "ARC", "Ne Ar", 30, "2026-05-02T21:00:00"},
      {"standard.fits.gz", NightKind::Standard, "OBJECT", "HR 5501", 60, "2026-05-02T21:10:00"},
      {"star-1.fits.gz", NightKind::Star, "OBJECT", "HD 123299", 300, "2026-05-02T21:20:00"},
      {"star-2.fits.gz", NightKind::Star, "OBJECT", "HD 123299", 300, "2026-05-02T21:26:00", 2.3},
      {"star-3.fits.gz", NightKind::Star, "OBJECT", "HD 123299", 300, "2026-05-02T21:32:00", -1.6},
  };
  std::uint32_t seed = 9001;
  for (const Taken& t : kTaken)
    frames.push_back({night + t.name, shape(t.type, t.object, t.seconds, t.date), FrameScene::Star, true, 0,
                      NightFrame(t.kind, t.seconds, seed++, t.shift)});
}

// The standard star's reference spectrum, as a catalogue gives it: its flux
// every 5 A from 4000 to 8000 A, in erg/s/cm2/A.
std::string StandardReference() {
  std::string text = "wavelength_angstrom,flux\n";
  for (int w = 4000; w <= 8000; w += 5) {
    char line[64];
    std::snprintf(line, sizeof line, "%d,%.6e\n", w, 2.5e-13 * StarFlux(w, true));
    text += line;
  }
  return text;
}

FrameFile Shape(int width, int height, int bitpix) {
  FrameFile shape;
  shape.width = width;
  shape.height = height;
  shape.bitpix = bitpix;
  shape.textKeys = {{"OBJECT", "Synthetic"}, {"DATE-OBS", "2024-03-05T21:04:09"}};
  shape.numberKeys = {{"EXPTIME", 30}, {"XPIXSZ", 4.5}};
  return shape;
}

std::vector<Frame> Frames() {
  std::vector<Frame> frames;
  const std::string golden = "tests/golden/load-fits/", corpus = "tests/fuzz/fits-corpus/";
  // A star along the rows, 16-bit with BZERO, 300 x 30; a lamp along the columns, float, gzip.
  FrameFile star = Shape(300, 30, 16);
  star.bzero = 32768;
  frames.push_back({golden + "star-rows.fits", star, FrameScene::Star, true});
  FrameFile lamp = Shape(24, 400, -32);
  lamp.gzipped = true;
  frames.push_back({golden + "lamp-columns.fits.gz", lamp, FrameScene::Arc, false});
  frames.push_back({golden + "broken.fits", star, FrameScene::Star, true, 2880 + 4000});
  // Longer than 768 along the dispersion (binned by 3, or a window): a star along
  // the columns, 16-bit with BZERO, and a lamp along the rows, float; a cut-off copy.
  const std::string exported = "tests/golden/export-fits/";
  FrameFile tall = Shape(40, 1600, 16);
  tall.bzero = 32768;
  frames.push_back({exported + "star-columns.fits", tall, FrameScene::Star, false});
  frames.push_back({exported + "lamp-rows.fits", Shape(1600, 30, -32), FrameScene::Arc, true});
  frames.push_back({exported + "broken.fits", tall, FrameScene::Star, false, 2880 + 4000});
  frames.push_back({"tests/golden/fits-import-settings/lamp-rows.fits", Shape(1600, 30, -32), FrameScene::Arc, true});
  // A detector of 3072 pixels along the dispersion: a lamp (float) and a star
  // (16-bit with BZERO) along the rows, for the full-resolution spectra and the Spectrum view.
  const std::string wide = "tests/golden/view-frame/";
  frames.push_back({wide + "lamp-3072.fits", Shape(3072, 24, -32), FrameScene::Arc, true});
  FrameFile wideStar = Shape(3072, 24, 16);
  wideStar.bzero = 32768;
  frames.push_back({wide + "star-3072.fits", wideStar, FrameScene::Star, true});
  // A neon-argon lamp of 2048 pixels, the same moved by 15.3 pixels, and a
  // lamp of another detector (1024 pixels), for the automatic calibration.
  const std::string automatic = "tests/golden/calib-auto/";
  FrameFile lampShape = Shape(2048, 12, -32);
  lampShape.gzipped = true;
  frames.push_back({automatic + "neon-argon.fits.gz", lampShape, FrameScene::Arc, true, 0, LampArc(2048, 12, 0)});
  frames.push_back({"tests/golden/calib-auto-start/neon-argon.fits.gz", lampShape, FrameScene::Arc, true, 0,
                    LampArc(2048, 12, 0)});
  frames.push_back(
      {automatic + "neon-argon-next-night.fits.gz", lampShape, FrameScene::Arc, true, 0, LampArc(2048, 12, 15.3)});
  FrameFile smaller = Shape(1024, 12, -32);
  smaller.gzipped = true;
  frames.push_back({automatic + "neon-argon-1024.fits.gz", smaller, FrameScene::Arc, true, 0, LampArc(1024, 12, 0)});
  // A star at +25 km/s with its lamp, taken at a known time and place, for
  // measured lines and their barycentric velocities.
  const std::string measured = "tests/golden/measure-frame/";
  frames.push_back({measured + "neon-argon.fits.gz", lampShape, FrameScene::Arc, true, 0, LampArc(2048, 12, 0)});
  FrameFile starShape = Shape(2048, 12, -32);
  starShape.gzipped = true;
  starShape.textKeys = {{"OBJECT", "HD 36486"}, {"DATE-OBS", "2026-03-15T20:30:00"},
                        {"RA", "05:32:00.40"},  {"DEC", "-00:17:56.7"}};
  starShape.numberKeys = {{"EXPTIME", 600}, {"SITELAT", 28.7606}, {"SITELONG", -17.8792}, {"SITEELEV", 2326}};
  frames.push_back({measured + "star.fits.gz", starShape, FrameScene::Star, true, 0, StarSpectrum(2048, 12, 25)});
  AddNight(frames);
  // Small seeds of every kind.
  FrameFile seed = Shape(20, 8, 8);
  frames.push_back({corpus + "byte.fits", seed, FrameScene::Star, true});
  seed.bitpix = 32;
  seed.bscale = 0.5;
  frames.push_back({corpus + "scaled-int.fits", seed, FrameScene::Arc, true});
  seed = Shape(8, 20, 16);
  seed.tileCompressed = true;
  frames.push_back({corpus + "tiles.fz", seed, FrameScene::Star, false});
  seed = Shape(20, 8, -64);
  seed.planes = 2;
  seed.gzipped = true;
  frames.push_back({corpus + "cube.fits.gz", seed, FrameScene::Arc, true});
  seed = Shape(20, 8, -32);
  seed.inExtension = true;
  frames.push_back({corpus + "extension.fits", seed, FrameScene::Star, true});
  return frames;
}

std::vector<std::uint8_t> Bytes(const Frame& f) {
  const std::vector<double> values =
      f.values.empty() ? lxr4::SpectrumScene(f.shape.width, f.shape.height, f.scene, f.alongRows, 0.4) : f.values;
  std::vector<std::uint8_t> bytes = lxr4::WriteFrameFile(f.shape, values).value();
  if (f.keepBytes > 0) bytes.resize(f.keepBytes);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::cerr << "usage: make_fits_frames [--check] ROOT\n";
    return 2;
  }
  const std::string root = std::string(argv[argc - 1]) + "/";
  int status = 0;
  for (const Frame& f : Frames()) {
    const std::vector<std::uint8_t> bytes = Bytes(f);
    if (check) {
      std::ifstream in(root + f.path, std::ios::binary);
      const std::vector<char> old{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      if (!std::equal(old.begin(), old.end(), bytes.begin(), bytes.end(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
        std::cerr << f.path << " differs from what make_fits_frames writes\n";
        status = 1;
      }
    } else {
      std::ofstream(root + f.path, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
  }
  // The text files beside the frames.
  const std::pair<std::string, std::string> texts[] = {{"tests/golden/reduce-night/standard-reference.csv", StandardReference()}};
  for (const auto& [path, text] : texts) {
    if (check) {
      std::ifstream in(root + path, std::ios::binary);
      if (std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()) != text) {
        std::cerr << path << " differs from what make_fits_frames writes\n";
        status = 1;
      }
    } else {
      std::ofstream(root + path, std::ios::binary) << text;
    }
  }
  return status;
}
