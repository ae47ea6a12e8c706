// make_fits_frames: writes the synthetic FITS frames that the golden cases load
// and the seed corpus of the FITS fuzz target, always the same bytes.
//   make_fits_frames ROOT          write them under the repository at ROOT
//   make_fits_frames --check ROOT  exit 1 unless the committed files are exactly these
#include <cstdio>
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
};

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
  const std::vector<double> values = lxr4::SpectrumScene(f.shape.width, f.shape.height, f.scene, f.alongRows, 0.4);
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
