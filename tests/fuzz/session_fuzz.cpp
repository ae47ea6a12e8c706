// libFuzzer entry over whole sessions: each input becomes a session script
// (session_script.h) played on the scripted platform under the sanitizers.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/session_script.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  lxr4::EnterSessionFolder(LXR4_SAMPLES_DIR);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lxr4::ByteChoices choices({data, size});
  lxr4::PlaySession(lxr4::RandomSession(choices));
  return 0;
}
