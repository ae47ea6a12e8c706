// The pool of threads over the object frames, the progress lines and the summary.
#include "batch/batch_run.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <new>
#include <sstream>
#include <thread>

#include "imagefile/fits_reader.h"
#include "platform/files.h"

namespace lxr4 {
namespace {

namespace fs = std::filesystem;

std::string Number(double v, int digits) {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  s.setf(std::ios::fixed);
  s.precision(digits);
  s << v;
  return s.str();
}

// Decided by the file's first bytes, as the program decides everywhere.
bool IsFitsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> head(65536);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  const auto n = static_cast<std::size_t>(in.gcount());
  const std::vector<std::uint8_t> bytes(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(n));
  return LooksLikeFits(bytes);
}

}  // namespace

BatchOptionsResult ParseBatchArguments(std::span<const std::string> args) {
  BatchOptionsResult r;
  BatchOptions& o = r.options;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* option) -> const std::string* {
      if (i + 1 >= args.size()) return nullptr;
      (void)option;
      return &args[++i];
    };
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--dry-run" || a == "-n") {
      o.dryRun = true;
    } else if (a == "--jobs" || a == "-j") {
      const std::string* v = value("--jobs");
      int jobs = 0;
      if (!v || std::from_chars(v->data(), v->data() + v->size(), jobs).ptr != v->data() + v->size() || jobs < 1 ||
          jobs > 1024)
        return BatchOptionsResult::Refused(BatchUsageError::Bad, "--jobs takes a number of threads from 1 to 1024.");
      o.jobs = jobs;
    } else if (a == "--output" || a == "-o") {
      const std::string* v = value("--output");
      if (!v || v->empty()) return BatchOptionsResult::Refused(BatchUsageError::Bad, "--output takes a folder.");
      o.output = *v;
    } else if (a.size() > 1 && a[0] == '-') {
      return BatchOptionsResult::Refused(BatchUsageError::Bad, "unknown option " + a + " (see lxr4-reduce --help).");
    } else {
      names.push_back(a);
    }
  }
  if (o.help || o.version) return r;
  if (names.empty())
    return BatchOptionsResult::Refused(BatchUsageError::Bad, "name a night file or object frames (see lxr4-reduce --help).");
  const bool oneFile = names.size() == 1 && fs::is_regular_file(names[0]);
  if (oneFile && !IsFitsFile(names[0])) {
    o.nightFile = names[0];
    if (!o.output.empty())
      return BatchOptionsResult::Refused(BatchUsageError::Bad,
                                         "--output is for frames named on the command line; a night file names its "
                                         "own in [objects] output.");
  } else {
    o.frames = std::move(names);
  }
  return r;
}

std::string BatchHelp() {
  return "Usage: lxr4-reduce [OPTIONS] NIGHT-FILE\n"
         "       lxr4-reduce [OPTIONS] FRAME...\n"
         "Reduces a night's object frames to wavelength-calibrated spectra: masters, calibration,\n"
         "cosmic rays, trace and extraction, a linear FITS and a CSV spectrum per frame.\n"
         "\n"
         "  -j, --jobs N     reduce N frames at a time (default: one per core)\n"
         "  -n, --dry-run    list what would be done and stop\n"
         "  -o, --output DIR the folder for the spectra of frames named on the command line\n"
         "                   (default: reduced)\n"
         "  -h, --help       this text\n"
         "      --version    the program's version\n"
         "\n"
         "Exit status: 0 every frame reduced, 1 some frame failed, 2 the night file, its masters\n"
         "or its calibration could not be used, or the command line is wrong.\n"
         "See lxr4-reduce(1) for the night file.\n";
}

std::string SummaryTable(const std::vector<FrameOutcome>& outcomes) {
  std::vector<std::vector<std::string>> rows = {{"file", "status", "exposure", "trace rms", "range", "output"}};
  std::vector<std::string> failed;
  for (const FrameOutcome& o : outcomes) {
    std::string outputs;
    for (const std::string& f : o.outputs) outputs += (outputs.empty() ? "" : ", ") + fs::path(f).filename().string();
    rows.push_back({o.file, o.ok ? "ok" : "failed", o.exposure ? Number(*o.exposure, 1) + " s" : "-",
                    o.ok && o.traceRms ? Number(*o.traceRms, 3) + " px" : "-", o.ok ? o.range : "-",
                    o.ok ? outputs : o.reason});
    if (!o.ok) failed.push_back(o.file);
  }
  std::vector<std::size_t> widths(6, 0);
  for (const auto& row : rows)
    for (std::size_t c = 0; c + 1 < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
  std::string text;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      line += row[c];
      if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
    }
    text += line + "\n";
  }
  if (!failed.empty()) {
    text += "failed: " + std::to_string(failed.size()) + (failed.size() == 1 ? " frame: " : " frames: ");
    for (std::size_t i = 0; i < failed.size(); ++i) text += (i ? ", " : "") + failed[i];
    text += "\n";
  }
  return text;
}

std::vector<FrameOutcome> ReduceObjects(const NightSetup& setup, int jobs, std::ostream& err) {
  const int count = static_cast<int>(setup.objects.size());
  std::vector<FrameOutcome> outcomes(setup.objects.size());
  std::atomic<int> next{0};
  int done = 0;
  std::mutex progress;
  const auto work = [&] {
    for (int i = next++; i < count; i = next++) {
      const std::string& path = setup.objects[static_cast<std::size_t>(i)];
      FrameOutcome o;
      try {
        o = ReduceObjectFile(setup, path);
      } catch (const std::bad_alloc&) {  // one frame too large for the memory left fails alone
        o.file = fs::path(path).filename().string();
        o.reason = "There was no memory left to reduce it.";
      }
      const std::lock_guard lock(progress);
      ++done;
      err << "[" << done << "/" << count << "] " << o.file << (o.ok ? " ok" : " failed: " + o.reason) << "\n";
      err.flush();
      outcomes[static_cast<std::size_t>(i)] = std::move(o);
    }
  };
  const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
  const int threads = std::clamp(jobs > 0 ? jobs : static_cast<int>(cores), 1, std::max(count, 1));
  std::vector<std::jthread> pool;
  for (int j = 1; j < threads; ++j) pool.emplace_back(work);
  work();
  pool.clear();  // joins
  return outcomes;
}

int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err) {
  if (options.help) {
    out << BatchHelp();
    return kBatchOk;
  }
  if (options.version) {
    out << "lxr4-reduce " LXR4_VERSION "\n";
    return kBatchOk;
  }
  NightPlan plan;
  std::string folder = ".";
  if (!options.nightFile.empty()) {
    const FileRead file = ReadFile(options.nightFile, std::size_t{1} << 20);
    if (!file.ok()) {
      err << "lxr4-reduce: " << options.nightFile << " could not be read.\n";
      return kBatchUsage;
    }
    const NightFileResult parsed = ParseNightFile(std::string(file.bytes.begin(), file.bytes.end()));
    if (!parsed.ok()) {
      err << "lxr4-reduce: " << options.nightFile << ", " << parsed.message << "\n";
      return kBatchUsage;
    }
    plan = parsed.plan;
    folder = fs::path(options.nightFile).parent_path().string();
    if (folder.empty()) folder = ".";
  } else {
    plan.objects = options.frames;
    if (!options.output.empty()) plan.output = options.output;
  }
  NightSetupResult prepared = PrepareNight(plan, folder, options.dryRun, FitsDecoderBesideProgram());
  if (!prepared.ok()) {
    err << "lxr4-reduce: " << (options.nightFile.empty() ? "" : options.nightFile + ": ") << prepared.message << "\n";
    return kBatchUsage;
  }
  const NightSetup& setup = prepared.setup;
  if (options.dryRun) {
    for (const auto& p : setup.pending) {
      if (!p.reuse.empty()) out << "master " << p.kind << ": read " << p.reuse << "\n";
      else if (!p.files.empty())
        out << "master " << p.kind << ": combine " << p.files.size() << " frames into "
            << (fs::path(setup.outputDir) / ("master-" + std::string(p.kind) + ".fits")).string() << "\n";
    }
    if (!plan.calibrationFile.empty()) out << "calibration: " << plan.calibrationFile << "\n";
    for (const std::string& lamp : plan.lamps) out << "lamps: " << lamp << "\n";
    for (const std::string& path : setup.objects) {
      out << path << " ->";
      for (const std::string& o : OutputsOf(setup, path)) out << " " << o;
      out << "\n";
    }
    return kBatchOk;
  }
  for (const std::string& step : setup.steps) err << step << "\n";

  const std::vector<FrameOutcome> outcomes = ReduceObjects(setup, options.jobs, err);
  out << SummaryTable(outcomes);
  const bool allOk = std::all_of(outcomes.begin(), outcomes.end(), [](const FrameOutcome& o) { return o.ok; });
  return allOk ? kBatchOk : kBatchFramesFailed;
}

}  // namespace lxr4
