// lxr4-reduce: a night's frames reduced to spectra from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "batch/batch_run.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  lxr4::IgnoreFileSizeSignal();
  const std::vector<std::string> args(argv + 1, argv + argc);
  const lxr4::BatchOptionsResult parsed = lxr4::ParseBatchArguments(args);
  if (!parsed.ok()) {
    std::cerr << "lxr4-reduce: " << parsed.message << "\n";
    return lxr4::kBatchUsage;
  }
  return lxr4::RunBatch(parsed.options, std::cout, std::cerr);
}
