// FileStore: the files the program reads and writes, a seam of its own beside
// the window, so that a session can be recorded or run without a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lxr4 {

// NotRegularFile: the path names a folder, FIFO, device or socket; NotWritable: an
// existing file the user may not write. Neither changes anything.
enum class FileError : std::uint8_t { None, CannotOpen, CannotWrite, NotRegularFile, NotWritable };

class FileStore {
 public:
  // At most `maxBytes` bytes from the start of the file; nullopt when it cannot be read.
  [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                                          std::size_t maxBytes) = 0;
  // Writes the whole file or nothing: an older file of that name survives a failure.
  [[nodiscard]] virtual FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) = 0;
  // Whether the two paths name one file (the same file, or the same path where
  // a file does not exist yet).
  [[nodiscard]] virtual bool SameFile(const std::string& a, const std::string& b) const = 0;
  // True when `path` names an existing folder. Every store sees the same file
  // system, so this one answer serves them all.
  [[nodiscard]] virtual bool FolderExists(const std::string& path) const {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
  }

 protected:
  ~FileStore() = default;
};

}  // namespace lxr4
