// lxr4-reduce's command line and its run: the night file (or frames named on
// the command line), the object frames reduced on a pool of threads with a
// progress line each, the summary table and the exit status.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "batch/night_run.h"

namespace lxr4 {

// Exit statuses: every frame reduced; some frame failed; the night could not start.
inline constexpr int kBatchOk = 0, kBatchFramesFailed = 1, kBatchUsage = 2;

struct BatchOptions {
  std::string nightFile;            // or:
  std::vector<std::string> frames;  // object frames (patterns) named on the command line
  std::string output;               // --output, for frames on the command line
  int jobs = 0;                     // 0: every core
  bool dryRun = false, help = false, version = false;
};
enum class BatchUsageError : std::uint8_t { None, Bad };
struct BatchOptionsRead {
  BatchOptions options;
};
using BatchOptionsResult = Result<BatchUsageError, BatchOptionsRead>;

// The arguments after the program's name. One argument that is no FITS file
// (by its contents) is a night file; otherwise every argument is an object frame.
[[nodiscard]] BatchOptionsResult ParseBatchArguments(std::span<const std::string> args);

[[nodiscard]] std::string BatchHelp();

// The summary: one row per frame (file, status, exposure, trace rms, range,
// output), then "failed: 2 frames: a.fits, b.fits" when any failed.
[[nodiscard]] std::string SummaryTable(const std::vector<FrameOutcome>& outcomes);

// Each object frame of the night reduced, `jobs` at a time (0: one a core),
// a progress line for each to `err` as it ends; in the setup's order.
[[nodiscard]] std::vector<FrameOutcome> ReduceObjects(const NightSetup& setup, int jobs, std::ostream& err);

// Runs the night; progress and messages to `err`, the summary (or the
// dry run's list) to `out`. Returns the exit status.
[[nodiscard]] int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace lxr4
