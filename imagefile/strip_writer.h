// The strip image: the graphed spectrum written back as a camera image file
// in the uncompressed layout, every row repeating the spectrum divided by 20.
// Pure functions on bytes; the handler in strip_handler.cpp writes the file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lxr4 {

inline constexpr std::size_t kStripHeaderBytes = 2048;
using HeaderBytes = std::array<std::uint8_t, kStripHeaderBytes>;

// The strip's header block: "KM-1 ", then `source` from its first capital I
// among its first 30 bytes (from byte 31 when there is none), padded with
// blanks to 2048 bytes. A source whose first line reads "KM-1 Compressed
// Image" thus gives "KM-1 Image": the uncompressed layout.
HeaderBytes StripHeader(std::span<const std::uint8_t, kStripHeaderBytes> source);

// A strip pixel: the spectrum value divided by 20 (toward zero), clamped to 0..32767.
std::int16_t StripValue(std::int32_t spectrumValue);

// The whole strip file: StripHeader(source), then `height` rows (none when
// `height` is below 1), each holding StripValue of every entry of `spectrum`
// (columns 1, 2, ... of the image), two bytes each, low byte first.
std::vector<std::uint8_t> StripImage(std::span<const std::uint8_t, kStripHeaderBytes> source,
                                     std::span<const std::int32_t> spectrum, int height);

}  // namespace lxr4
