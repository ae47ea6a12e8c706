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

// At most `maxBytes` bytes from the start of the file at `path`; nullopt when it
// cannot be opened or read (missing, a folder, no permission).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                                std::size_t maxBytes);

// Writes `bytes` as the whole file at `path`, or nothing at all: the bytes go to a
// temporary file in the same folder, which is flushed, closed and renamed onto `path`.
// On a failure the temporary file is removed and an older file at `path` survives
// unchanged. CannotOpen: the temporary file could not be created (no such folder,
// not writable); CannotWrite: writing, closing or the rename failed.
[[nodiscard]] FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The files on disk, as both windows hand them out.
class DiskFiles final : public FileStore {
 public:
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path,
                                                                  std::size_t maxBytes) override {
    return lxr4::ReadFile(path, maxBytes);
  }
  [[nodiscard]] FileError WriteFile(const std::string& path, std::span<const std::uint8_t> bytes) override {
    return lxr4::WriteFile(path, bytes);
  }
};

}  // namespace lxr4
