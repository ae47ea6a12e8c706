// extract_numbers GAIN READNOISE HALFWIDTH SKYOFFSET SKYWIDTH: the trace,
// boxcar and cosmic rays of extract/ on a frame from standard input ("WIDTH
// HEIGHT", then the values row by row), for extract_references_check.py.
// Prints "column X CENTRE BOXCAR BOXCAR-LESS-MEDIAN-SKY SKY" per column, then
// "ray X Y" per flagged pixel; exits 1 with the message on a refusal.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <vector>

#include "base/number_text.h"
#include "extract/cosmic_rays.h"
#include "extract/extract.h"

int main(int argc, char** argv) {
  using namespace lxr4;
  std::vector<double> n;
  for (int i = 1; i < argc; ++i) n.push_back(ParseDecimal(argv[i]).value_or(-1));
  int width = 0, height = 0;
  std::cin >> width >> height;
  std::vector<float> values;
  for (float v; std::cin >> v;) values.push_back(v);
  if (n.size() != 5) return 2;
  const FrameView frame{width, height, values, {}, n[0], n[1]};
  const auto trace = FindTrace(frame);
  ExtractOptions plain, sky;  // no sky, and the median of two bands
  plain.halfWidth = sky.halfWidth = n[2];
  plain.sky.method = SkyMethod::None;
  sky.sky = {.method = SkyMethod::Median, .offset = n[3], .width = n[4]};
  const auto a = ExtractBoxcar(frame, trace, plain), b = ExtractBoxcar(frame, trace, sky);
  const auto rays = FindCosmicRays(frame);
  for (const auto* message : {&trace.message, &a.message, &b.message, &rays.message}) {
    if (!message->empty()) {
      std::cerr << *message << "\n";
      return 1;
    }
  }
  for (std::size_t x = 0; x < a.flux.size(); ++x) {
    std::printf("column %zu %.17g %.17g %.17g %.17g\n", x, trace.Centre(static_cast<double>(x)), a.flux[x],
                b.flux[x], b.sky[x]);
  }
  for (std::size_t i = 0; i < rays.mask.size(); ++i) {
    if (rays.mask[i]) std::printf("ray %d %d\n", static_cast<int>(i) % width, static_cast<int>(i) / width);
  }
  return 0;
}
