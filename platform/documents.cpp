#include "platform/documents.h"

#include <filesystem>
#include <system_error>

namespace lxr4 {

std::string FindUserGuide() {
  namespace fs = std::filesystem;
  std::error_code error;
  // The program lies in PREFIX/bin.
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path candidates[] = {
      error ? fs::path() : program.parent_path().parent_path() / "share/doc/lxr4/user-guide.md",
      fs::path(LXR4_SOURCE_DIR) / "docs/user-guide.md",
  };
  for (const fs::path& path : candidates)
    if (!path.empty() && fs::is_regular_file(path, error)) return path.lexically_normal().string();
  return {};
}

}  // namespace lxr4
