#include "imagefile/fits_memory_writer.h"

#include "imagefile/cfitsio.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lxr4 {

namespace {

// cfitsio reads parts of a growing memory file before writing them (the heap of a
// compressed image), so every byte it is given starts as zero.
void* ZeroedRealloc(void* old, std::size_t size) {
  void* fresh = std::calloc(size, 1);
  if (fresh == nullptr) return nullptr;
  if (old != nullptr) {
    std::memcpy(fresh, old, std::min(malloc_usable_size(old), size));
    std::free(old);
  }
  return fresh;
}

}  // namespace

FitsMemoryWriter::FitsMemoryWriter() {
  if (!CfitsioLoaded()) return;
  size_ = 2880;
  buffer_ = std::calloc(size_, 1);
  if (buffer_ == nullptr) return;
  fits_create_memfile(&file_, &buffer_, &size_, 2880 * 16, ZeroedRealloc, &status);
  if (status != 0) file_ = nullptr;
}

FitsMemoryWriter::~FitsMemoryWriter() {
  if (file_ != nullptr) {
    int closeStatus = 0;
    fits_close_file(file_, &closeStatus);
  }
  std::free(buffer_);
  if (CfitsioLoaded()) fits_clear_errmsg();
}

std::optional<std::vector<std::uint8_t>> FitsMemoryWriter::Finish() {
  if (file_ == nullptr) return std::nullopt;
  // The file ends where the last HDU's padded data ends.
  int hdus = 0, type = 0;
  long long headStart = 0, dataStart = 0, dataEnd = 0;
  fits_get_num_hdus(file_, &hdus, &status);
  fits_movabs_hdu(file_, hdus, &type, &status);
  fits_flush_file(file_, &status);
  fits_get_hduaddrll(file_, &headStart, &dataStart, &dataEnd, &status);
  fits_close_file(file_, &status);
  file_ = nullptr;
  if (status != 0 || dataEnd < 0 || static_cast<std::size_t>(dataEnd) > size_) return std::nullopt;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer_);
  return std::vector<std::uint8_t>(bytes, bytes + dataEnd);
}

}  // namespace lxr4
