#include "imagefile/gzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace lxr4 {

bool IsGzip(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 0x1f && bytes[1] == 0x8b;
}

std::optional<std::vector<std::uint8_t>> InflateGzip(std::span<const std::uint8_t> bytes, std::size_t maxBytes) {
  if (!IsGzip(bytes)) return std::nullopt;
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return std::nullopt;
  std::vector<std::uint8_t> out;
  std::size_t inPos = 0;
  int rc = Z_OK;
  constexpr std::size_t kStep = std::size_t{1} << 20;
  while (rc == Z_OK && out.size() < maxBytes) {
    if (z.avail_in == 0 && inPos < bytes.size()) {
      const std::size_t take = std::min<std::size_t>(bytes.size() - inPos, UINT_MAX);
      z.next_in = const_cast<Bytef*>(bytes.data() + inPos);  // zlib does not write its input
      z.avail_in = static_cast<uInt>(take);
      inPos += take;
    }
    const std::size_t have = out.size();
    const std::size_t grow = std::min(kStep, maxBytes - have);
    out.resize(have + grow);
    z.next_out = out.data() + have;
    z.avail_out = static_cast<uInt>(grow);
    rc = inflate(&z, Z_NO_FLUSH);
    out.resize(have + grow - z.avail_out);
    if (rc == Z_BUF_ERROR && z.avail_in == 0 && inPos >= bytes.size()) rc = Z_STREAM_END;  // ends early
  }
  inflateEnd(&z);
  if (rc != Z_OK && rc != Z_STREAM_END) return std::nullopt;
  return out;
}

std::vector<std::uint8_t> Gzip(std::span<const std::uint8_t> bytes) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(bytes.size())));
  z.next_in = const_cast<Bytef*>(bytes.data());  // zlib does not write its input
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

}  // namespace lxr4
