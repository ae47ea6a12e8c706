// Writes a drawing surface as a PNG file's bytes: 8-bit RGB, no interlace, the
// image data in stored (uncompressed) deflate blocks. The same surface always
// gives the same bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/surface.h"

namespace lxr4 {

[[nodiscard]] std::vector<std::uint8_t> PngBytes(const Surface& surface);

// The checksums of the format, exposed for the tests.
[[nodiscard]] std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
[[nodiscard]] std::uint32_t Adler32(std::span<const std::uint8_t> bytes);

}  // namespace lxr4
