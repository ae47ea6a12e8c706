// Writes a drawing surface as a PNG file's bytes: 8-bit RGB, no interlace, no
// filter, the image data deflated by zlib at its fastest level with run-length
// matching (pictures of flat areas and thin lines shrink some twentyfold that
// way, at a fraction of the time of the slower levels). The same surface
// always gives the same bytes with one zlib.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/surface.h"

namespace lxr4 {

// Nothing when zlib fails (it can only run out of memory).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> PngBytes(const Surface& surface);

}  // namespace lxr4
