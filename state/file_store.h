// FileStore: the files the program reads and writes, a seam of its own beside
// the window, so that a session can be recorded or run without a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace lxr4 {

// NotRegularFile: the path names a folder, FIFO, device or socket; NotWritable: an
// existing file the user may not write; LoadedImage: the path names an image file
// the program has loaded (state/saving.h). These three change nothing. TooLarge:
// the file grew past the largest file the system lets this program write (EFBIG);
// DiskFull: no space or quota left; CannotWrite: any other failure while writing.
enum class FileError : std::uint8_t {
  None,
  CannotOpen,
  CannotWrite,
  NotRegularFile,
  NotWritable,
  TooLarge,
  DiskFull,
  LoadedImage,
};

// CannotRead: missing, no permission, not a regular file, or a read error;
// TooLarge: the file is larger than the reader's limit; NoMemory: there was no
// memory for its bytes.
enum class FileReadError : std::uint8_t { None, CannotRead, TooLarge, NoMemory };

// A whole file, or why there is none: never a part of one.
struct FileBytes {
  std::vector<std::uint8_t> bytes;
};
using FileRead = Result<FileReadError, FileBytes>;

// A byte limit as the user reads it: "16 MB", "1 GB".
[[nodiscard]] inline std::string SizeText(std::size_t bytes) {
  constexpr std::size_t kMB = std::size_t{1} << 20;
  if (bytes >= 1024 * kMB && bytes % (1024 * kMB) == 0) return std::to_string(bytes / (1024 * kMB)) + " GB";
  if (bytes >= kMB) return std::to_string(bytes / kMB) + " MB";
  return std::to_string(bytes) + " bytes";
}

// The message for a read refused as too large or for want of memory, naming the
// file and the limit; empty for the other outcomes, which each reader words itself.
[[nodiscard]] inline std::string ReadRefusal(const FileRead& read, std::string_view path,
                                             std::size_t maxBytes) {
  const std::string name(path);
  if (read.error == FileReadError::TooLarge)
    return name + " is larger than " + SizeText(maxBytes) + " and was not read.";
  if (read.error == FileReadError::NoMemory)
    return name + " is too large for the memory left and was not read.";
  return {};
}

// The message for a refused save of `path`, `what` naming the kind of file
// ("file", "text file"): every save words a failure the same way.
[[nodiscard]] inline std::string SaveRefusal(FileError error, std::string_view path,
                                             std::string_view what = "file") {
  std::string the = "The " + std::string(what) + ' ' + std::string(path);
  switch (error) {
    case FileError::None:
      return {};
    case FileError::LoadedImage:
      return the + " would replace a loaded image file; nothing was saved.";
    case FileError::TooLarge:
      return the +
             " could not be written: it would be larger than the system lets this program write; "
             "nothing was saved.";
    case FileError::DiskFull:
      return the + " could not be written: the disk is full; nothing was saved.";
    case FileError::NotRegularFile:
    case FileError::NotWritable:
    case FileError::CannotOpen:
    case FileError::CannotWrite:
      break;
  }
  return the + " could not be written; nothing was saved.";
}

class FileStore {
 public:
  // The whole file, or an error when it cannot be read or is larger than
  // `maxBytes`: never a part of a file.
  [[nodiscard]] virtual FileRead ReadFile(const std::string& path, std::size_t maxBytes) = 0;
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
