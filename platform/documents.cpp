#include "platform/documents.h"

#include <filesystem>
#include <system_error>

namespace lxr4 {

namespace {
namespace fs = std::filesystem;

// `installed` under the installation prefix, else `source` in the source tree.
std::string Find(const char* installed, const char* source, bool folder) {
  std::error_code error;
  // The program lies in PREFIX/bin.
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path candidates[] = {
      error ? fs::path() : program.parent_path().parent_path() / installed,
      fs::path(LXR4_SOURCE_DIR) / source,
  };
  for (const fs::path& path : candidates)
    if (!path.empty() && (folder ? fs::is_directory(path, error) : fs::is_regular_file(path, error)))
      return path.lexically_normal().string();
  return {};
}
}  // namespace

std::string FindUserGuide() { return Find("share/doc/lxr4/user-guide.md", "docs/user-guide.md", false); }

std::string FindLineLists() { return Find("share/lxr4/line_lists", "data/line_lists", true); }

}  // namespace lxr4
