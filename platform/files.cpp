#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace lxr4 {

namespace {

struct CloseFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, CloseFile>;

namespace fs = std::filesystem;

// Creates a new, not yet existing file beside `target` (exclusive create, so that two
// writers never share one temporary file). Sets `tempPath` to its name.
FilePtr CreateTemporary(const fs::path& target, fs::path& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = target;
    candidate += ".tmp" + std::to_string(attempt);
    errno = 0;
    if (std::FILE* f = std::fopen(candidate.c_str(), "wbx")) {
      tempPath = candidate;
      return FilePtr(f);
    }
    if (errno != EEXIST) break;
  }
  return nullptr;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  if (path.empty() || fs::is_directory(path, ec)) return std::nullopt;
  const FilePtr f(std::fopen(path.c_str(), "rb"));
  if (!f) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  while (bytes.size() < maxBytes) {
    const std::size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
    const std::size_t got = std::fread(chunk, 1, want, f.get());
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < want) break;
  }
  if (std::ferror(f.get())) return std::nullopt;
  return bytes;
}

FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  const fs::path target(path);
  if (path.empty() || !target.has_filename()) return FileError::CannotOpen;
  fs::path tempPath;
  FilePtr f = CreateTemporary(target, tempPath);
  if (!f) return FileError::CannotOpen;

  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
  ok = std::fflush(f.get()) == 0 && ok;
  ok = std::fclose(f.release()) == 0 && ok;
  std::error_code ec;
  if (ok) {
    fs::rename(tempPath, target, ec);
    ok = !ec;
  }
  if (!ok) {
    fs::remove(tempPath, ec);
    return FileError::CannotWrite;
  }
  return FileError::None;
}

}  // namespace lxr4
