// The reduction on numbers, for the check against ccdproc
// (reduce_ccdproc_check.py): frames come in on standard input as float32
// values, row by row, one frame after another; the result goes out the same
// way. Test only.
//   reduce_numbers combine median|mean N W H
//   reduce_numbers combine clip N W H LOW HIGH median|mean std|mad PASSES   (rejected count on stderr)
//   reduce_numbers dark N W H SECONDS...         bias, then N darks in; the dark per second out
//   reduce_numbers calibrate W H SECONDS OVERSCAN TRIM   raw, bias, dark per second, flat in
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "reduce/calibrate_frame.h"
#include "reduce/combine.h"
#include "reduce/masters.h"

namespace {

using namespace lxr4;

Frame ReadFrame(int w, int h, const char* type, std::optional<double> seconds = std::nullopt) {
  Frame f;
  f.width = w;
  f.height = h;
  f.imageType = type;
  f.exposure = seconds;
  f.values.resize(f.pixels());
  if (std::fread(f.values.data(), sizeof(float), f.values.size(), stdin) != f.values.size()) {
    std::cerr << "reduce_numbers: short input\n";
    std::exit(2);
  }
  return f;
}

int Write(const Frame& f) {
  std::fwrite(f.values.data(), sizeof(float), f.values.size(), stdout);
  return 0;
}

int Fail(const std::string& message) {
  std::cerr << "reduce_numbers: " << message << "\n";
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> a(argv + 1, argv + argc);
  if (a.size() >= 5 && a[0] == "combine") {
    const int n = std::stoi(a[2]), w = std::stoi(a[3]), h = std::stoi(a[4]);
    std::vector<Frame> frames;
    for (int i = 0; i < n; ++i) frames.push_back(ReadFrame(w, h, ""));
    CombineOptions o;
    o.threads = 2;
    if (a[1] == "mean") o.method = CombineMethod::Mean;
    if (a[1] == "clip") {
      if (a.size() != 10) return Fail("clip needs LOW HIGH CENTRE DEVIATION PASSES");
      o.method = CombineMethod::SigmaClippedMean;
      o.clip.low = std::stod(a[5]);
      o.clip.high = std::stod(a[6]);
      o.clip.centre = a[7] == "mean" ? ClipCentre::Mean : ClipCentre::Median;
      o.clip.deviation = a[8] == "mad" ? ClipDeviation::MadStd : ClipDeviation::StdDev;
      o.clip.maxIterations = std::stoi(a[9]);
    }
    const CombineResult r = CombineFrames(frames, o);
    if (!r.ok()) return Fail(r.message);
    std::cerr << "rejected " << r.rejected << "\n";
    return Write(r.frame);
  }
  if (a.size() >= 4 && a[0] == "dark") {
    const int n = std::stoi(a[1]), w = std::stoi(a[2]), h = std::stoi(a[3]);
    if (a.size() != static_cast<std::size_t>(4 + n)) return Fail("dark needs one exposure per frame");
    const Frame bias = ReadFrame(w, h, "BIAS");
    std::vector<Frame> darks;
    for (int i = 0; i < n; ++i) darks.push_back(ReadFrame(w, h, "DARK", std::stod(a[4 + static_cast<std::size_t>(i)])));
    const MasterResult r = MakeMasterDark(darks, &bias, CombineOptions{});
    return r.ok() ? Write(r.frame) : Fail(r.message);
  }
  if (a.size() == 6 && a[0] == "calibrate") {
    const int w = std::stoi(a[1]), h = std::stoi(a[2]);
    const Frame raw = ReadFrame(w, h, "OBJECT", std::stod(a[3]));
    const Frame bias = ReadFrame(w, h, "BIAS");
    const Frame dark = ReadFrame(w, h, "DARK");
    const Frame flat = ReadFrame(w, h, "FLAT");
    CalibrationMasters m{&bias, &dark, &flat, {}, {}};
    const SectionResult overscan = ParseSection(a[4], w, h);
    const SectionResult trim = ParseSection(a[5], w, h);
    if (!overscan.ok() || !trim.ok()) return Fail(overscan.message + trim.message);
    m.overscan = Overscan{overscan.section, true};
    m.trim = trim.section;
    const CalibrateResult r = CalibrateFrame(raw, m);
    return r.ok() ? Write(r.frame) : Fail(r.message);
  }
  return Fail("usage: combine median|mean|clip N W H ... | dark N W H SECONDS... | calibrate W H SECONDS OVERSCAN TRIM");
}
