// Reading and writing whole files, for both window implementations.
// Every file opened here is closed again on every path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "state/file_store.h"

namespace lxr4 {

// The whole file at `path`, or: CannotRead when it cannot be opened or read
// (missing, no permission) or is not a regular file (a folder, a FIFO, a
// device), which is refused without ever waiting on it; TooLarge when it holds
// more than `maxBytes` bytes (seen before reading, and again if it grows while
// read); NoMemory when its bytes found no memory. Never a part of the file.
[[nodiscard]] FileRead ReadFile(const std::string& path, std::size_t maxBytes);

// Writes `bytes` as the whole file at `path`, or nothing at all: the bytes go to a
// temporary file in the same folder, which is flushed to the disk, closed and renamed
// onto `path`, and the folder is flushed after. A symbolic link is followed: its
// target gets the new contents and the link stays. The new file keeps the older
// file's mode, and its owner and group where the user may set them.
// On a failure the temporary file is removed and an older file at `path` survives
// unchanged. CannotOpen: the temporary file could not be created (no such folder,
// not writable); TooLarge: the file size limit was reached (EFBIG; the signal
// SIGXFSZ must be ignored, IgnoreFileSizeSignal); DiskFull: no space or quota
// left; CannotWrite: writing, flushing, closing or the rename failed otherwise;
// NotRegularFile: `path` is a folder, FIFO, device or socket; NotWritable: an
// existing file the user may not write. The last two change nothing at all.
[[nodiscard]] FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The error of a write, flush or close that failed with `errnum`.
[[nodiscard]] FileError WriteErrorOf(int errnum);

// A write past the file size limit (ulimit -f) would end the process with
// SIGXFSZ; ignored, the write fails with EFBIG and the save is refused. Both
// programs call this first thing.
void IgnoreFileSizeSignal();

// Whether the two paths name one file: the same device and inode when both
// exist, else the same absolute path once "." and ".." and links are resolved.
[[nodiscard]] bool SameFile(const std::string& a, const std::string& b);

// The files on disk, as both windows hand them out.
class DiskFiles final : public FileStore {
 public:
  [[nodiscard]] FileRead ReadFile(const std::string& path, std::size_t maxBytes) override {
    return lxr4::ReadFile(path, maxBytes);
  }
  [[nodiscard]] FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
    return lxr4::WriteFile(path, bytes);
  }
  [[nodiscard]] bool SameFile(const std::string& a, const std::string& b) const override {
    return lxr4::SameFile(a, b);
  }
};

}  // namespace lxr4
