// make_fits_frames: writes the synthetic FITS frames that the golden cases load
// and the seed corpus of the FITS fuzz target, always the same bytes.
//   make_fits_frames ROOT          write them under the repository at ROOT
//   make_fits_frames --check ROOT  exit 1 unless the committed files are exactly these
#include <cmath>
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
  return status;
}
