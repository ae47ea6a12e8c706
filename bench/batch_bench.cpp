// Timing of lxr4-reduce's work: 50 object frames of 2048 x 512 (a synthetic
// night, tests/night/synthetic_night.h, written once as FITS files) each read
// through the decoder, calibrated by master bias, dark and flat, cleaned of
// cosmic rays, traced, extracted by the optimal method and written as a
// linear FITS and a CSV spectrum, on every core.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "batch/batch_run.h"
#include "imagefile/fits_frame_writer.h"
#include "synthetic_night.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;

void Save(const fs::path& path, const FitsFrame& f) {
  FrameFile shape;
  shape.width = f.width;
  shape.height = f.height;
  shape.bitpix = 16;
  shape.bzero = 32768;
  shape.textKeys = {{"IMAGETYP", f.facts.imageType}, {"BIASSEC", f.facts.biasSection},
                    {"TRIMSEC", f.facts.trimSection}};
  if (f.facts.exposure) shape.numberKeys = {{"EXPTIME", *f.facts.exposure}};
  const std::vector<double> values(f.values.begin(), f.values.end());
  const auto bytes = WriteFrameFile(shape, values);
  std::ofstream out(path, std::ios::binary);
  if (bytes) out.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
}

// The night on disk and its masters made, once.
struct BenchNight {
  fs::path dir;
  NightSetup setup;
  BenchNight() {
    testing::NightRecipe r;
    r.width = 2048;
    r.height = 512;
    r.overscan = 32;
    r.centre = 250;
    r.flux = 60000;
    const testing::SyntheticNight night(r);
    dir = fs::temp_directory_path() / ("lxr4-batch-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir / "raw");
    for (int i = 0; i < 3; ++i) {
      Save(dir / "raw" / ("bias" + std::to_string(i) + ".fits"), night.Bias(i));
      Save(dir / "raw" / ("dark" + std::to_string(i) + ".fits"), night.Dark(i));
      Save(dir / "raw" / ("flat" + std::to_string(i) + ".fits"), night.Flat(i));
    }
    for (int i = 0; i < 50; ++i) {
      std::ostringstream name;
      name << "obj" << (i < 10 ? "0" : "") << i << ".fits";
      Save(dir / "raw" / name.str(), night.Object(i, 300, (i % 5) - 2));
    }
    NightPlan plan;
    plan.biasFrames = {"raw/bias*.fits"};
    plan.darkFrames = {"raw/dark*.fits"};
    plan.flatFrames = {"raw/flat*.fits"};
    plan.objects = {"raw/obj*.fits"};
    plan.output = "out";
    NightSetupResult made = PrepareNight(plan, dir.string(), false, LXR4_FITS_DECODER);
    if (!made.ok()) throw std::runtime_error(made.message);
    setup = std::move(made.setup);
  }
  ~BenchNight() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

void BM_Reduce50Frames2048x512(benchmark::State& state) {
  static BenchNight night;
  std::ostringstream progress;
  for (auto _ : state) {
    const std::vector<FrameOutcome> outcomes = ReduceObjects(night.setup, 0, progress);
    int ok = 0;
    for (const FrameOutcome& o : outcomes) ok += o.ok ? 1 : 0;
    if (ok != 50) state.SkipWithError("a frame failed");
    benchmark::DoNotOptimize(outcomes.data());
  }
}
BENCHMARK(BM_Reduce50Frames2048x512)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace lxr4
