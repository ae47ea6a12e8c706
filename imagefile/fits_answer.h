// The decoder's answer on its standard output, and its strict reading in the
// program: a fixed head of kAnswerHeadBytes (the error, the frame's size and
// facts), then width x height values as 4-byte floats, and nothing after them.
// Both ends are built from this file on the same machine, so numbers are in the
// machine's own byte order. The program trusts nothing of an answer it has not
// checked here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "imagefile/fits_reader.h"

namespace lxr4 {

inline constexpr std::size_t kAnswerHeadBytes = 280;

// The head of `result` (its values are written after it, as they are).
[[nodiscard]] std::vector<std::uint8_t> AnswerHead(const FitsReadResult& result);

// The result a head announces, its values not yet read (frame.values empty),
// and how many values follow; nullopt when the head is out of form: a wrong
// mark, an unknown error code, a size beyond the frame limits, a text without
// its end or with characters that are not printable, a fact that is no finite
// number, values announced with an error or not width x height of them.
struct AnswerStart {
  FitsReadResult result;
  std::size_t valueCount = 0;
};
[[nodiscard]] std::optional<AnswerStart> ReadAnswerHead(std::span<const std::uint8_t> head);

// True when the values are all finite, as the decoder promises.
[[nodiscard]] bool AnswerValuesSound(std::span<const float> values);

}  // namespace lxr4
