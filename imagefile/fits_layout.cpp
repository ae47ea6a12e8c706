#include "imagefile/fits_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lxr4 {

namespace {

constexpr std::size_t kCard = 80;
constexpr std::size_t kRecord = 2880;
constexpr int kMaxHdus = 64;
constexpr std::size_t kMaxHeaderCards = 36000;  // 1000 records: no camera writes more
constexpr long long kMaxAxes = 9;
constexpr long long kMaxDither = 10000;  // the tiled-image convention's table of random values

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The value of a "KEYWORD = value / comment" card: a quoted string whole, else up to the comment.
std::string_view ValueText(std::string_view card) {
  std::string_view value = Trim(card.substr(10));
  if (value.starts_with('\'')) {
    for (std::size_t at = 1; at < value.size(); ++at) {
      if (value[at] != '\'') continue;
      if (at + 1 < value.size() && value[at + 1] == '\'') {
        ++at;  // '' is a quote within the string
        continue;
      }
      return value.substr(0, at + 1);
    }
    return value;
  }
  return Trim(value.substr(0, value.find('/')));
}

std::optional<long long> Integer(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  long long number = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || r.ec != std::errc{} || r.ptr != text.data() + text.size()) return std::nullopt;
  return number;
}

// A real number as FITS writes it (a D exponent too); nullopt unless finite.
std::optional<double> Real(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  std::string copy(text);
  std::replace(copy.begin(), copy.end(), 'D', 'E');
  std::replace(copy.begin(), copy.end(), 'd', 'e');
  double number = 0;
  const auto r = std::from_chars(copy.data(), copy.data() + copy.size(), number);
  if (copy.empty() || r.ec != std::errc{} || r.ptr != copy.data() + copy.size() || !std::isfinite(number))
    return std::nullopt;
  return number;
}

// The text of a quoted string value, trailing blanks dropped.
std::string_view StringValue(std::string_view value) {
  if (value.size() < 2 || !value.starts_with('\'') || !value.ends_with('\'')) return {};
  std::string_view inner = value.substr(1, value.size() - 2);
  while (!inner.empty() && inner.back() == ' ') inner.remove_suffix(1);
  return inner;
}

std::string Indexed(std::string_view stem, long long n) { return std::string(stem) + std::to_string(n); }

// One HDU's value cards, in order.
struct Header {
  std::vector<std::pair<std::string_view, std::string_view>> cards;  // keyword, value text

  // The first card of the keyword wins, as in the FITS libraries.
  [[nodiscard]] std::optional<std::string_view> Find(std::string_view key) const {
    for (const auto& [k, v] : cards)
      if (k == key) return v;
    return std::nullopt;
  }
  [[nodiscard]] std::optional<long long> Int(std::string_view key) const {
    const auto v = Find(key);
    return v ? Integer(*v) : std::nullopt;
  }
  [[nodiscard]] bool Has(std::string_view key) const { return Find(key).has_value(); }
};

bool Printable(std::string_view card) {
  return std::all_of(card.begin(), card.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

enum class HeaderRead : std::uint8_t { Done, Short, Bad };

// Reads the cards from `start` to the END card; `next` is then where the data
// starts (the header padded to whole records), or on Short the end of the card
// still missing.
HeaderRead ReadHeader(std::span<const std::uint8_t> bytes, std::size_t start, Header& header, std::size_t& next) {
  for (std::size_t at = start, count = 0;; at += kCard, ++count) {
    if (count > kMaxHeaderCards) return HeaderRead::Bad;
    if (bytes.size() < at + kCard) {
      next = at + kCard;
      return HeaderRead::Short;
    }
    const std::string_view card(reinterpret_cast<const char*>(bytes.data() + at), kCard);
    if (!Printable(card)) return HeaderRead::Bad;
    const std::string_view key = Trim(card.substr(0, 8));
    if (key == "END") {
      next = start + (at + kCard - start + kRecord - 1) / kRecord * kRecord;
      return HeaderRead::Done;
    }
    if (card.substr(8, 2) == "= ") header.cards.emplace_back(key, ValueText(card));
  }
}

bool ValidBitpix(long long b) { return b == 8 || b == 16 || b == 32 || b == 64 || b == -32 || b == -64; }

// a * b, or nullopt beyond what a file may hold.
std::optional<unsigned long long> Times(unsigned long long a, unsigned long long b) {
  unsigned long long r = 0;
  if (__builtin_mul_overflow(a, b, &r) || r > (1ULL << 62)) return std::nullopt;
  return r;
}

// The frame's own shape: as the reader takes it, NAXIS 2 or 3 within the limits.
FitsError CheckFrameShape(long long bitpix, long long naxis, const std::array<long long, kMaxAxes + 1>& axes) {
  if (!ValidBitpix(bitpix)) return FitsError::Corrupt;
  if (naxis != 2 && naxis != 3) return FitsError::BadAxes;
  const long long width = axes[1], height = axes[2];
  if (width < 1 || height < 1 || (naxis == 3 && axes[3] < 1)) return FitsError::BadAxes;
  if (width < 2 && height < 2) return FitsError::BadAxes;
  if (width > kMaxFrameSide || height > kMaxFrameSide || width * height > kMaxFramePixels) return FitsError::TooLarge;
  return FitsError::None;
}

// BSCALE and BZERO, wherever they appear: a value the data is multiplied by
// must be a number that keeps it a number.
FitsError CheckScaling(const Header& h) {
  for (const auto& [key, value] : h.cards) {
    if (key != "BSCALE" && key != "BZERO") continue;
    const std::optional<double> number = Real(value);
    if (!number) return FitsError::BadScale;
    if (key == "BSCALE" && !(std::abs(*number) >= std::numeric_limits<double>::min())) return FitsError::BadScale;
  }
  return FitsError::None;
}

// A binary or ASCII table's mandatory keys; THEAP within the table's heap.
FitsError CheckTable(const Header& h, long long bitpix, long long naxis, const std::array<long long, kMaxAxes + 1>& axes,
                     long long pcount) {
  const auto fields = h.Int("TFIELDS");
  if (bitpix != 8 || naxis != 2 || !fields || *fields < 0 || *fields > 999) return FitsError::Corrupt;
  if (h.Has("THEAP")) {
    const auto heap = h.Int("THEAP");
    const auto table = Times(static_cast<unsigned long long>(axes[1]), static_cast<unsigned long long>(axes[2]));
    if (!heap || !table || *heap < 0 || static_cast<unsigned long long>(*heap) < *table ||
        static_cast<unsigned long long>(*heap) > *table + static_cast<unsigned long long>(pcount))
      return FitsError::Corrupt;
  }
  return FitsError::None;
}

// A tile-compressed image: its keys must describe the table that holds it and
// parameters its compression can take.
FitsError CheckTiles(const Header& h, long long tableRows) {
  const auto zbitpix = h.Int("ZBITPIX");
  const auto znaxis = h.Int("ZNAXIS");
  if (!zbitpix || !ValidBitpix(*zbitpix) || !znaxis || *znaxis < 1 || *znaxis > kMaxAxes) return FitsError::Corrupt;
  std::array<long long, kMaxAxes + 1> axes{};
  unsigned long long tiles = 1, tilePixels = 1;
  for (long long n = 1; n <= *znaxis; ++n) {
    const auto side = h.Int(Indexed("ZNAXIS", n));
    if (!side || *side < 1 || *side > kMaxFramePixels) return FitsError::Corrupt;
    const std::string tileKey = Indexed("ZTILE", n);
    const auto tile = h.Has(tileKey) ? h.Int(tileKey) : std::optional<long long>(n == 1 ? *side : 1);
    if (!tile || *tile < 1 || *tile > *side) return FitsError::Corrupt;
    axes[static_cast<std::size_t>(n)] = *side;
    tiles *= static_cast<unsigned long long>((*side + *tile - 1) / *tile);  // at most 64 Mi, nine times: no overflow
    tilePixels *= static_cast<unsigned long long>(*tile);
    if (tiles > static_cast<unsigned long long>(kMaxFramePixels) ||
        tilePixels > static_cast<unsigned long long>(kMaxFramePixels))
      return FitsError::Corrupt;
  }
  if (tiles != static_cast<unsigned long long>(tableRows)) return FitsError::Corrupt;

  const std::string_view type = StringValue(h.Find("ZCMPTYPE").value_or(""));
  constexpr std::array<std::string_view, 7> kTypes = {"RICE_1", "RICE_ONE", "GZIP_1", "GZIP_2",
                                                      "PLIO_1", "HCOMPRESS_1", "NOCOMPRESS"};
  if (std::find(kTypes.begin(), kTypes.end(), type) == kTypes.end()) return FitsError::Corrupt;
  // The decoders take ZVAL1 and ZVAL2 by position whatever ZNAMEn says, so each
  // must be the parameter its compression expects, named as such.
  const auto parameter = [&](int n, std::string_view name, std::initializer_list<long long> allowed) {
    const std::string valueKey = Indexed("ZVAL", n);
    if (!h.Has(valueKey)) return true;
    const auto value = h.Int(valueKey);
    return StringValue(h.Find(Indexed("ZNAME", n)).value_or("")) == name && value &&
           std::find(allowed.begin(), allowed.end(), *value) != allowed.end();
  };
  if (type.starts_with("RICE") && !(parameter(1, "BLOCKSIZE", {16, 32}) && parameter(2, "BYTEPIX", {1, 2, 4, 8})))
    return FitsError::Corrupt;
  if (type == "HCOMPRESS_1") {
    const auto scale = Real(h.Find("ZVAL1").value_or("0"));
    if (!scale || *scale < 0 || !parameter(2, "SMOOTH", {0, 1})) return FitsError::Corrupt;
  }
  if (h.Has("ZDITHER0")) {
    const auto seed = h.Int("ZDITHER0");
    if (!seed || *seed < 1 || *seed > kMaxDither) return FitsError::Corrupt;
  }
  if (h.Has("ZQUANTIZ")) {
    const std::string_view q = StringValue(*h.Find("ZQUANTIZ"));
    if (q != "NO_DITHER" && q != "SUBTRACTIVE_DITHER_1" && q != "SUBTRACTIVE_DITHER_2") return FitsError::Corrupt;
  }
  return CheckFrameShape(*zbitpix, *znaxis, axes);
}

// A spectrum's image: one axis, or two with a single row, within the limit.
FitsError CheckSpectrumShape(long long naxis, const std::array<long long, kMaxAxes + 1>& axes) {
  if (naxis != 1 && !(naxis == 2 && axes[2] == 1)) return FitsError::BadAxes;
  if (axes[1] < 1) return FitsError::BadAxes;
  if (axes[1] > kMaxSpectrumSamples) return FitsError::TooLarge;
  return FitsError::None;
}

}  // namespace

FitsLayout WalkFitsLayout(std::span<const std::uint8_t> bytes, std::size_t maxBytes, bool ended, FitsTarget target) {
  const bool spectrum = target == FitsTarget::Spectrum;
  const auto imageShape = [&](long long bitpix, long long naxis, const std::array<long long, kMaxAxes + 1>& axes) {
    return spectrum ? CheckSpectrumShape(naxis, axes) : CheckFrameShape(bitpix, naxis, axes);
  };
  FitsLayout out;
  const auto fail = [&](FitsError e) {
    out.error = e;
    return out;
  };
  // Not all there yet: more is needed, or when the file has ended, it is cut short.
  const auto shortOf = [&](std::size_t need, FitsError whenEnded) {
    out.needed = need;
    if (ended) out.error = whenEnded;
    return out;
  };
  std::size_t pos = 0;
  for (int hdu = 1;; ++hdu) {
    if (hdu > kMaxHdus) return fail(FitsError::NoImage);
    if (hdu > 1 && pos >= bytes.size()) return shortOf(pos + kCard, FitsError::NoImage);
    const std::string_view first = hdu == 1 ? "SIMPLE  =" : "XTENSION=";
    const std::size_t have = std::min(bytes.size() - pos, first.size());
    if (!std::equal(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(have), bytes.begin() +
                    static_cast<std::ptrdiff_t>(pos)))
      return fail(hdu == 1 ? FitsError::NotFits : FitsError::NoImage);  // after the last HDU: stray bytes

    Header h;
    std::size_t dataStart = 0;
    switch (ReadHeader(bytes, pos, h, dataStart)) {
      case HeaderRead::Bad:
        return fail(FitsError::Corrupt);
      case HeaderRead::Short:
        return shortOf(dataStart, FitsError::Truncated);
      case HeaderRead::Done:
        break;
    }
    if (hdu == 1 && h.Find("SIMPLE") != "T") return fail(FitsError::Corrupt);
    const auto bitpix = h.Int("BITPIX");
    const auto naxis = h.Int("NAXIS");
    if (!bitpix || !ValidBitpix(*bitpix) || !naxis || *naxis < 0 || *naxis > 999) return fail(FitsError::Corrupt);
    if (*naxis > kMaxAxes) return fail(FitsError::BadAxes);
    std::array<long long, kMaxAxes + 1> axes{};
    for (long long n = 1; n <= *naxis; ++n) {
      const auto side = h.Int(Indexed("NAXIS", n));
      if (!side || *side < 0) return fail(FitsError::Corrupt);
      axes[static_cast<std::size_t>(n)] = *side;
    }
    const long long pcount = h.Has("PCOUNT") ? h.Int("PCOUNT").value_or(-1) : 0;
    const long long gcount = h.Has("GCOUNT") ? h.Int("GCOUNT").value_or(-1) : 1;
    if (pcount < 0 || gcount < 0) return fail(FitsError::Corrupt);
    if (const FitsError e = CheckScaling(h); e != FitsError::None) return fail(e);

    // Random groups (a primary NAXIS1 of 0) hold no image; their size leaves the first axis out.
    const bool groups = hdu == 1 && *naxis >= 1 && axes[1] == 0;
    std::optional<unsigned long long> count = *naxis == 0 ? 0ULL : 1ULL;
    for (long long n = groups ? 2 : 1; n <= *naxis && count; ++n)
      count = Times(*count, static_cast<unsigned long long>(axes[static_cast<std::size_t>(n)]));
    std::optional<unsigned long long> dataBytes;
    if (count) dataBytes = Times(*count + static_cast<unsigned long long>(pcount), static_cast<unsigned long long>(gcount));
    if (dataBytes) dataBytes = Times(*dataBytes, static_cast<unsigned long long>(std::abs(*bitpix) / 8));
    if (!dataBytes || *dataBytes > maxBytes) return fail(FitsError::TooLarge);

    bool image = false;
    if (hdu == 1) {
      image = *naxis > 0 && !groups;
      if (image) {
        if (const FitsError e = imageShape(*bitpix, *naxis, axes); e != FitsError::None) return fail(e);
      }
    } else {
      const std::string_view type = StringValue(h.Find("XTENSION").value_or(""));
      if (type == "IMAGE") {
        image = *naxis > 0;
        if (image) {
          if (const FitsError e = imageShape(*bitpix, *naxis, axes); e != FitsError::None) return fail(e);
        }
      } else if (type == "BINTABLE" || type == "TABLE") {
        if (const FitsError e = CheckTable(h, *bitpix, *naxis, axes, pcount); e != FitsError::None) return fail(e);
        const bool tiledImage = type == "BINTABLE" && h.Find("ZIMAGE") == "T";
        if (spectrum && type == "BINTABLE" && !tiledImage) {
          // A table's values may sit anywhere in its heap: the whole data is needed.
          out.imageHdu = hdu;
          out.needed = dataStart + *dataBytes;
          if (ended && bytes.size() < out.needed) out.error = FitsError::Truncated;
          return out;
        }
        image = tiledImage && !spectrum;
        if (image) {
          if (const FitsError e = CheckTiles(h, axes[2]); e != FitsError::None) return fail(e);
        }
      } else {
        return fail(FitsError::Corrupt);  // a type no reader knows how to skip or read
      }
    }

    if (image) {
      // An image's first plane is all the reader takes; a tile-compressed one
      // needs its whole table and heap.
      const bool tiled = hdu > 1 && h.Find("ZIMAGE") == "T";
      const std::size_t dataEnd =
          dataStart + (tiled ? *dataBytes
                             : static_cast<std::size_t>(std::abs(*bitpix) / 8) * static_cast<std::size_t>(axes[1]) *
                                   static_cast<std::size_t>(spectrum ? 1 : axes[2]));
      out.imageHdu = hdu;
      if (dataEnd > maxBytes) return fail(FitsError::TooLarge);
      out.needed = dataEnd;
      if (ended && bytes.size() < dataEnd) out.error = FitsError::Truncated;
      return out;
    }
    pos = dataStart + (*dataBytes + kRecord - 1) / kRecord * kRecord;
    if (pos > maxBytes) return fail(FitsError::TooLarge);
  }
}

}  // namespace lxr4
