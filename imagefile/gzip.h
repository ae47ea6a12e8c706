// gzip in memory: inflating with a cap on the output, so that a small file
// cannot claim unbounded memory, and deflating (for frames the tests write).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lxr4 {

[[nodiscard]] bool IsGzip(std::span<const std::uint8_t> bytes);

// The inflated bytes of the first gzip member, at most `maxBytes` of them (a
// longer output is cut there). A stream that ends early gives what came before
// its end; nullopt when the stream is not gzip at all or is corrupt.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> InflateGzip(std::span<const std::uint8_t> bytes,
                                                                  std::size_t maxBytes);

// The bytes as one gzip member (best compression; no name, no time stamp).
[[nodiscard]] std::vector<std::uint8_t> Gzip(std::span<const std::uint8_t> bytes);

}  // namespace lxr4
