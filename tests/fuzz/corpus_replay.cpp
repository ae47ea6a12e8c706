// Replays every file of the fuzz corpus folders given on the command line
// through the fuzz entry, so that a normal test build checks each past finding.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<char> chars{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      const std::vector<std::uint8_t> bytes(chars.begin(), chars.end());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++files;
    }
  }
  std::cout << "replayed " << files << " files\n";
  return files > 0 ? 0 : 1;  // an empty or missing corpus is a broken test, not a pass
}
