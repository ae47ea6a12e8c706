// extract_numbers: the trace, boxcar extraction and cosmic-ray detector of
// extract/ on a frame from standard input ("WIDTH HEIGHT" then the values row
// by row), for the checks against specreduce and astroscrappy
// (extract_references_check.py).
//
//   extract_numbers boxcar HALFWIDTH GAIN READNOISE none|median [OFFSET WIDTH]
//     prints "x centre flux variance sky" per column, the trace found by FindTrace
//   extract_numbers cosmics GAIN READNOISE
//     prints "x y" per flagged pixel
// Exits 1 with the message on a refusal, 2 on bad arguments.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "extract/cosmic_rays.h"
#include "extract/extract.h"

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

int Fail(const std::string& message) {
  std::cerr << message << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (!(command == "boxcar" && (argc == 6 || argc == 8)) && !(command == "cosmics" && argc == 4)) {
    std::cerr << "usage: extract_numbers boxcar HALFWIDTH GAIN READNOISE none|median [OFFSET WIDTH]\n"
                 "       extract_numbers cosmics GAIN READNOISE\n";
    return 2;
  }
  int width = 0, height = 0;
  std::cin >> width >> height;
  std::vector<float> values;
  for (float v; std::cin >> v;) values.push_back(v);
  FrameView frame{width, height, values, {}, 1, 0};

  if (command == "cosmics") {
    frame.gain = Number(argv[2]);
    frame.readNoise = Number(argv[3]);
    const auto r = FindCosmicRays(frame);
    if (!r.ok()) return Fail(r.message);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (r.mask[static_cast<std::size_t>(y * width + x)]) std::printf("%d %d\n", x, y);
      }
    }
    return 0;
  }
  frame.gain = Number(argv[3]);
  frame.readNoise = Number(argv[4]);
  const auto trace = FindTrace(frame);
  if (!trace.ok()) return Fail(trace.message);
  ExtractOptions options;
  options.halfWidth = Number(argv[2]);
  options.sky.method = std::string(argv[5]) == "median" ? SkyMethod::Median : SkyMethod::None;
  if (argc == 8) {
    options.sky.offset = Number(argv[6]);
    options.sky.width = Number(argv[7]);
  }
  const auto s = ExtractBoxcar(frame, trace, options);
  if (!s.ok()) return Fail(s.message);
  for (int x = 0; x < width; ++x) {
    const auto k = static_cast<std::size_t>(x);
    std::printf("%d %.17g %.17g %.17g %.17g\n", x, trace.Centre(x), s.flux[k], s.variance[k], s.sky[k]);
  }
  return 0;
}
