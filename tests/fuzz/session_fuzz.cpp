// libFuzzer entry over whole sessions: each input becomes a session script
// (session_script.h) played on the scripted platform under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/fuzz/session_script.h"

namespace {
std::string folder;
void RemoveFolder() {
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  folder = lxr4::MakeSessionFolder(LXR4_SAMPLES_DIR);
  std::atexit(RemoveFolder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lxr4::ByteChoices choices({data, size});
  lxr4::PlaySession(lxr4::RandomSession(choices, folder), folder);
  return 0;
}
