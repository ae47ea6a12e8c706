// process_pairs PAIRS DIR NAME_A NAME_B -- COMMAND_A... -- COMMAND_B...
// Times two commands as whole processes, from fork to exit, alternating
// (A, B, A, B, ...) PAIRS times after one pair to warm the caches, each run in
// folder DIR with its standard output discarded. Prints each command's median
// wall time and peak memory (the largest maximum resident set size of its
// runs), and the median of the pairs' ratios A/B. Exit status 1 when a run
// fails, 2 on a bad command line.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

struct Run {
  double ms = 0;
  long maxRssKb = 0;
  bool ok = false;
};

Run Time(const std::vector<char*>& command, const char* dir) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0 || chdir(dir) != 0) _exit(127);
    execvp(command[0], command.data());
    _exit(127);
  }
  Run run;
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return run;
  run.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  run.maxRssKb = usage.ru_maxrss;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!run.ok) std::fprintf(stderr, "process_pairs: %s failed (status %d)\n", command[0], status);
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> a, b;
  std::vector<char*>* filling = nullptr;
  for (int i = 5; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--") {
      filling = filling == nullptr ? &a : &b;
      continue;
    }
    if (filling != nullptr) filling->push_back(argv[i]);
  }
  const int pairs = argc > 1 ? std::atoi(argv[1]) : 0;
  if (argc < 5 || pairs < 1 || a.empty() || b.empty()) {
    std::fprintf(stderr, "usage: process_pairs PAIRS DIR NAME_A NAME_B -- COMMAND_A... -- COMMAND_B...\n");
    return 2;
  }
  a.push_back(nullptr);
  b.push_back(nullptr);
  const char* dir = argv[2];

  std::vector<double> msA, msB, ratios;
  long rssA = 0, rssB = 0;
  for (int pair = 0; pair <= pairs; ++pair) {  // pair 0 warms the caches and is not counted
    const Run ra = Time(a, dir);
    const Run rb = Time(b, dir);
    if (!ra.ok || !rb.ok) return 1;
    if (pair == 0) continue;
    msA.push_back(ra.ms);
    msB.push_back(rb.ms);
    ratios.push_back(ra.ms / rb.ms);
    rssA = std::max(rssA, ra.maxRssKb);
    rssB = std::max(rssB, rb.maxRssKb);
  }
  for (const auto& [name, ms, rss] : {std::tuple{argv[3], &msA, rssA}, std::tuple{argv[4], &msB, rssB}})
    std::printf("%-10s median %9.2f ms   peak memory %8.1f MB   (%d runs)\n", name, Median(*ms), static_cast<double>(rss) / 1024,
                pairs);
  std::printf("%s/%s median ratio %.3f (ratio of the medians %.3f)\n", argv[3], argv[4], Median(ratios),
              Median(msA) / Median(msB));
  return 0;
}
