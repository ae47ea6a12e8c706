// Grey levels of the image drawings: the divisor D and multiplier M that a
// slot's Range gives, the offset of a spectrum band, and the grey level of one
// value. Everything is computed in 64-bit integers, so any header value gives
// a defined result.
#pragma once

#include <algorithm>
#include <cstdint>

namespace lxr4 {

enum class DrawMode : std::uint8_t {
  Image,  // every image pixel painted
  Band,   // the extracted spectrum painted as a 20-row band
};

struct GreyScale {
  std::int64_t divisor = 1;     // D, at least 1
  std::int64_t multiplier = 1;  // M, at least 1
};

// D and M of a drawing from the slot's Range. Image mode: D = Range div 255;
// band mode: D = (20 x Range) div 255. When D is below 1, D = 1 and
// M = 256 div Range (at least 1). A Range of 0, which has no multiplier,
// draws as if it were 1; a negative Range gives D = 1 and M = 1.
[[nodiscard]] GreyScale MakeGreyScale(std::int64_t range, DrawMode mode);

// (M x (value - offset)) div D, truncated toward zero, then clamped to 0..255.
// Inline: it runs for every pixel drawn.
[[nodiscard]] inline int GreyLevel(std::int64_t value, std::int64_t offset, GreyScale scale) {
  const std::int64_t g = scale.multiplier * (value - offset) / scale.divisor;
  return static_cast<int>(std::clamp<std::int64_t>(g, 0, 255));
}

// Offset of a band: 20 x Background, except for the object band while
// "Filter Airglow" is ticked, whose offset is 0.
[[nodiscard]] std::int64_t BandOffset(std::int64_t background, bool objectSlot, bool filterTicked);

}  // namespace lxr4
