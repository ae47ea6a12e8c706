// session_random [SEED [COUNT [show]]]: plays COUNT random sessions (session_script.h)
// from SEED, for the test build's short fixed-seed run under the sanitizers.
// A session that makes the program fail stops the run with its script; a
// third argument shows every script and its fault.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/fuzz/session_script.h"

int main(int argc, char** argv) {
  const auto seed = static_cast<std::uint32_t>(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1);
  const long count = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 100;
  const std::string folder = lxr4::MakeSessionFolder(LXR4_SAMPLES_DIR);
  long completed = 0;
  for (long i = 0; i < count; ++i) {
    lxr4::SeededChoices choices(seed + static_cast<std::uint32_t>(i), 150);
    const std::string script = lxr4::RandomSession(choices, folder);
    // Shown when a sanitizer stops the run: "session_random SEED 1" replays it.
    std::fprintf(stderr, "session %u\n", seed + static_cast<std::uint32_t>(i));
    std::string error;
    if (lxr4::PlaySession(script, folder, &error) == 0) ++completed;
    if (argc > 3) std::fprintf(stderr, "%s%s", script.c_str(), error.c_str());
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  std::printf("played %ld sessions from seed %u, %ld to their end\n", count, seed, completed);
  return 0;
}
