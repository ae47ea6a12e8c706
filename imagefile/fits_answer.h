// The decoder's answer on its standard output, and its strict reading in the
// program: a fixed head of kAnswerHeadBytes (the error, the frame's size and
// facts, the target's and the site's texts, the reduction's texts and binning), then width x height values as
// 4-byte floats, and nothing after them. Both ends are built from this file on
// the same machine, so numbers are in the machine's own byte order. The
// program trusts nothing of an answer it has not checked here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imagefile/fits_reader.h"

namespace lxr4 {

inline constexpr std::size_t kAnswerHeadBytes = 872;

// The head of `result` (its values are written after it, as they are).
[[nodiscard]] std::vector<std::uint8_t> AnswerHead(const FitsReadResult& result);

// The result a head announces, its values not yet read (frame.values empty),
// and how many values follow; nullopt when the head is out of form: a wrong
// mark, an unknown error code, a size beyond the frame limits, a text without
// its end or with characters that are not printable, a coordinate text longer
// than kMaxCoordinateText, a reduction text longer than kMaxReductionText, a
// fact that is no finite number (a binning below 1), values announced
// with an error or not width x height of them.
struct AnswerStart {
  FitsReadResult result;
  std::size_t valueCount = 0;
};
[[nodiscard]] std::optional<AnswerStart> ReadAnswerHead(std::span<const std::uint8_t> head);

// True when the values are all finite, as the decoder promises.
[[nodiscard]] bool AnswerValuesSound(std::span<const float> values);

// The answer to a spectrum request (kFitsDecoderSpectrumMode): a fixed head of
// kSpectrumAnswerHeadBytes (the error, the kind, the sample count, the axis
// keys and texts of FitsSpectrum), then the values as doubles: a table's
// wavelengths, then the fluxes. Nothing after them.
inline constexpr std::size_t kSpectrumAnswerHeadBytes = 504;

[[nodiscard]] std::vector<std::uint8_t> SpectrumAnswerHead(const FitsSpectrumResult& result);

// The result a spectrum head announces, its wavelength and flux vectors sized
// for the values that follow (all zero); nullopt when out of form: a wrong
// mark, an unknown error or kind, more than kMaxSpectrumSamples samples, axis
// keys for a table or a key that is no finite number, a text without its end
// or with characters that are not printable, samples without both columns
// named, or anything but zeros after a refusal's code or in unused fields.
[[nodiscard]] std::optional<FitsSpectrumResult> ReadSpectrumAnswerHead(std::span<const std::uint8_t> head);

}  // namespace lxr4
