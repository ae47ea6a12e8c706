// Writes a drawing surface as a PNG file's bytes through libpng: 8-bit RGB, no
// interlace, no filter, deflated at zlib's fastest level (pictures of flat
// areas and thin lines shrink some thirtyfold that way, at a fraction of the
// time of the slower levels). The same surface always gives the same bytes
// with one zlib.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/surface.h"

namespace lxr4 {

// Nothing when libpng fails (it can only run out of memory).
[[nodiscard]] std::optional<std::vector<std::uint8_t>> PngBytes(const Surface& surface);

}  // namespace lxr4
