// Timing of a FITS frame's import: a 4096 x 4096 16-bit frame (a star's
// spectrum along the rows) read from its bytes and made a camera image, binned
// by 6 to 682 columns. It must stay below 150 ms.
#include <benchmark/benchmark.h>

#include "imagefile/fits_frame_writer.h"
#include "imagefile/fits_import.h"

namespace lxr4 {
namespace {

std::vector<std::uint8_t> LargeFrame() {
  FrameFile shape;
  shape.width = 4096;
  shape.height = 4096;
  shape.bitpix = 16;
  shape.bzero = 32768;
  return WriteFrameFile(shape, SpectrumScene(shape.width, shape.height, FrameScene::Star, true, 0.4)).value();
}

void BM_ImportFrame4096x4096(benchmark::State& state) {
  const std::vector<std::uint8_t> file = LargeFrame();
  for (auto _ : state) {
    FitsFileImport import = ImportFitsFile(file, {}, LXR4_FITS_DECODER);
    benchmark::DoNotOptimize(import.image.file.data());
    if (!import.image.ok) state.SkipWithError("not imported");
  }
}
BENCHMARK(BM_ImportFrame4096x4096)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lxr4
