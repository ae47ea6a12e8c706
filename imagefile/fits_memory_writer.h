// A FITS file built in memory through cfitsio: create, write HDUs through
// get(), then Finish() for the file's bytes. The file is closed and cfitsio's
// message stack cleared on every path.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefile/cfitsio.h"

namespace lxr4 {

class FitsMemoryWriter {
 public:
  FitsMemoryWriter();
  ~FitsMemoryWriter();
  FitsMemoryWriter(const FitsMemoryWriter&) = delete;
  FitsMemoryWriter& operator=(const FitsMemoryWriter&) = delete;

  // nullptr when the file could not be created.
  [[nodiscard]] fitsfile* get() const { return file_; }
  // cfitsio's status of the calls made so far (they skip their work once it is not 0).
  int status = 0;
  // The whole file; nullopt when any call failed.
  [[nodiscard]] std::optional<std::vector<std::uint8_t>> Finish();

 private:
  void* buffer_ = nullptr;
  std::size_t size_ = 0;
  fitsfile* file_ = nullptr;
};

}  // namespace lxr4
