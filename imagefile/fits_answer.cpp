#include "imagefile/fits_answer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace lxr4 {

namespace {

constexpr std::string_view kMark = "LXR4FIT1";
constexpr std::size_t kTextBytes = 72;
constexpr std::size_t kErrorAt = 8, kWidthAt = 12, kHeightAt = 16, kBitpixAt = 20, kFlagsAt = 24;
constexpr std::size_t kExposureAt = 32, kPixelXAt = 40, kPixelYAt = 48;
constexpr std::size_t kObjectAt = 56, kDateAt = kObjectAt + kTextBytes, kTimeAt = kDateAt + kTextBytes;
constexpr std::size_t kCountAt = kTimeAt + kTextBytes;
constexpr std::size_t kPlaceAt = kCountAt + 8, kPlaceTexts = 5;
constexpr std::size_t kReductionAt = kPlaceAt + kPlaceTexts * kTextBytes, kReductionTexts = 3;
constexpr std::size_t kBinXAt = kReductionAt + kReductionTexts * kTextBytes, kBinYAt = kBinXAt + 8;
static_assert(kBinYAt + 8 == kAnswerHeadBytes);

// The target's and the site's texts, in the order of the head.
template <typename Facts>
auto PlaceTexts(Facts& f) {
  return std::array{&f.ra, &f.dec, &f.latitude, &f.longitude, &f.height};
}
static_assert(std::tuple_size_v<decltype(PlaceTexts(std::declval<FitsFacts&>()))> == kPlaceTexts);

// The reduction's texts, in the order of the head.
template <typename Facts>
auto ReductionTexts(Facts& f) {
  return std::array{&f.imageType, &f.biasSection, &f.trimSection};
}
static_assert(std::tuple_size_v<decltype(ReductionTexts(std::declval<FitsFacts&>()))> == kReductionTexts);

template <typename T>
void Put(std::vector<std::uint8_t>& head, std::size_t at, T value) {
  std::memcpy(head.data() + at, &value, sizeof value);
}

template <typename T>
T Get(std::span<const std::uint8_t> head, std::size_t at) {
  T value{};
  std::memcpy(&value, head.data() + at, sizeof value);
  return value;
}

void PutText(std::vector<std::uint8_t>& head, std::size_t at, const std::string& text) {
  std::memcpy(head.data() + at, text.data(), std::min(text.size(), kTextBytes - 1));
}

// A text field: printable characters, then zeros to the end of the field.
std::optional<std::string> GetText(std::span<const std::uint8_t> head, std::size_t at) {
  const auto field = head.subspan(at, kTextBytes);
  const auto end = std::find(field.begin(), field.end(), 0);
  if (end == field.end() || !std::all_of(end, field.end(), [](std::uint8_t c) { return c == 0; })) return std::nullopt;
  if (!std::all_of(field.begin(), end, [](std::uint8_t c) { return c >= ' ' && c <= '~'; })) return std::nullopt;
  return std::string(field.begin(), end);
}

std::optional<double> GetFact(std::span<const std::uint8_t> head, std::uint8_t flags, int bit, std::size_t at,
                              bool& sound) {
  const auto value = Get<double>(head, at);
  if ((flags & (1U << bit)) == 0) {
    sound = sound && value == 0;
    return std::nullopt;
  }
  sound = sound && std::isfinite(value);
  return value;
}

}  // namespace

std::vector<std::uint8_t> AnswerHead(const FitsReadResult& result) {
  std::vector<std::uint8_t> head(kAnswerHeadBytes, 0);
  std::memcpy(head.data(), kMark.data(), kMark.size());
  Put(head, kErrorAt, static_cast<std::uint32_t>(result.error));
  if (result.error != FitsError::None) return head;
  const FitsFrame& f = result.frame;
  Put(head, kWidthAt, static_cast<std::int32_t>(f.width));
  Put(head, kHeightAt, static_cast<std::int32_t>(f.height));
  Put(head, kBitpixAt, static_cast<std::int32_t>(f.bitpix));
  const auto bit = [](bool on, int at) { return static_cast<unsigned>(on ? 1U << at : 0U); };
  head[kFlagsAt] = static_cast<std::uint8_t>(bit(f.tileCompressed, 0) | bit(f.gzipped, 1) |
                                             bit(f.facts.exposure.has_value(), 2) |
                                             bit(f.facts.pixelSizeX.has_value(), 3) |
                                             bit(f.facts.pixelSizeY.has_value(), 4) |
                                             bit(f.facts.binX.has_value(), 5) | bit(f.facts.binY.has_value(), 6));
  Put(head, kExposureAt, f.facts.exposure.value_or(0));
  Put(head, kPixelXAt, f.facts.pixelSizeX.value_or(0));
  Put(head, kPixelYAt, f.facts.pixelSizeY.value_or(0));
  PutText(head, kObjectAt, f.facts.object);
  PutText(head, kDateAt, f.facts.dateObs);
  PutText(head, kTimeAt, f.facts.timeObs);
  Put(head, kCountAt, static_cast<std::uint64_t>(f.values.size()));
  // A coordinate is never cut short: one too long for the program goes as absent.
  const auto place = PlaceTexts(f.facts);
  for (std::size_t i = 0; i < place.size(); ++i)
    if (place[i]->size() <= kMaxCoordinateText) PutText(head, kPlaceAt + kTextBytes * i, *place[i]);
  const auto reduction = ReductionTexts(f.facts);
  for (std::size_t i = 0; i < reduction.size(); ++i)
    if (reduction[i]->size() <= kMaxReductionText) PutText(head, kReductionAt + kTextBytes * i, *reduction[i]);
  Put(head, kBinXAt, f.facts.binX.value_or(0));
  Put(head, kBinYAt, f.facts.binY.value_or(0));
  return head;
}

std::optional<AnswerStart> ReadAnswerHead(std::span<const std::uint8_t> head) {
  if (head.size() != kAnswerHeadBytes || !std::equal(kMark.begin(), kMark.end(), head.begin(),
                                                     [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }))
    return std::nullopt;
  AnswerStart start;
  const auto error = Get<std::uint32_t>(head, kErrorAt);
  if (error > static_cast<std::uint32_t>(FitsError::Unavailable)) return std::nullopt;
  start.result.error = static_cast<FitsError>(error);
  if (start.result.error != FitsError::None) {
    // A refusal carries nothing but its code.
    if (!std::all_of(head.begin() + kWidthAt, head.end(), [](std::uint8_t c) { return c == 0; })) return std::nullopt;
    return start;
  }
  FitsFrame& f = start.result.frame;
  f.width = Get<std::int32_t>(head, kWidthAt);
  f.height = Get<std::int32_t>(head, kHeightAt);
  f.bitpix = Get<std::int32_t>(head, kBitpixAt);
  if (f.width < 1 || f.height < 1 || f.width > kMaxFrameSide || f.height > kMaxFrameSide ||
      static_cast<long long>(f.width) * f.height > kMaxFramePixels || (f.width < 2 && f.height < 2))
    return std::nullopt;
  if (f.bitpix != 8 && f.bitpix != 16 && f.bitpix != 32 && f.bitpix != 64 && f.bitpix != -32 && f.bitpix != -64)
    return std::nullopt;
  const std::uint8_t flags = head[kFlagsAt];
  if ((flags & ~0x7FU) != 0 || head[kFlagsAt + 1] != 0 || head[kFlagsAt + 2] != 0 || head[kFlagsAt + 3] != 0 ||
      head[kFlagsAt + 4] != 0 || head[kFlagsAt + 5] != 0 || head[kFlagsAt + 6] != 0 || head[kFlagsAt + 7] != 0)
    return std::nullopt;
  f.tileCompressed = (flags & 1U) != 0;
  f.gzipped = (flags & 2U) != 0;
  bool sound = true;
  f.facts.exposure = GetFact(head, flags, 2, kExposureAt, sound);
  f.facts.pixelSizeX = GetFact(head, flags, 3, kPixelXAt, sound);
  f.facts.pixelSizeY = GetFact(head, flags, 4, kPixelYAt, sound);
  f.facts.binX = GetFact(head, flags, 5, kBinXAt, sound);
  f.facts.binY = GetFact(head, flags, 6, kBinYAt, sound);
  for (const auto& size : {f.facts.pixelSizeX, f.facts.pixelSizeY}) sound = sound && (!size || *size > 0);
  for (const auto& bin : {f.facts.binX, f.facts.binY}) sound = sound && (!bin || *bin >= 1);
  const auto object = GetText(head, kObjectAt), date = GetText(head, kDateAt), time = GetText(head, kTimeAt);
  if (!sound || !object || !date || !time) return std::nullopt;
  f.facts.object = *object;
  f.facts.dateObs = *date;
  f.facts.timeObs = *time;
  const auto place = PlaceTexts(f.facts);
  for (std::size_t i = 0; i < place.size(); ++i) {
    const auto text = GetText(head, kPlaceAt + kTextBytes * i);
    if (!text || text->size() > kMaxCoordinateText) return std::nullopt;
    *place[i] = *text;
  }
  const auto reduction = ReductionTexts(f.facts);
  for (std::size_t i = 0; i < reduction.size(); ++i) {
    const auto text = GetText(head, kReductionAt + kTextBytes * i);
    if (!text || text->size() > kMaxReductionText) return std::nullopt;
    *reduction[i] = *text;
  }
  start.valueCount = static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height);
  if (Get<std::uint64_t>(head, kCountAt) != start.valueCount) return std::nullopt;
  return start;
}

namespace {

constexpr std::string_view kSpectrumMark = "LXR4SPC1";
constexpr std::size_t kKindAt = 12, kSamplesAt = 16, kKeyFlagsAt = 24, kKeysAt = 32, kKeyCount = 5;
constexpr std::size_t kSpectrumTextsAt = kKeysAt + 8 * kKeyCount, kSpectrumTexts = 6;
static_assert(kSpectrumTextsAt + kSpectrumTexts * kTextBytes == kSpectrumAnswerHeadBytes);

// The optional keys and texts of a spectrum, in the order of the head.
template <typename Spectrum>
auto Keys(Spectrum& s) {
  return std::array{&s.crval1, &s.cdelt1, &s.cd11, &s.crpix1, &s.dcFlag};
}
template <typename Spectrum>
auto Texts(Spectrum& s) {
  return std::array{&s.ctype1, &s.waveColumn, &s.fluxColumn, &s.waveUnit, &s.fluxUnit, &s.object};
}
static_assert(std::tuple_size_v<decltype(Keys(std::declval<FitsSpectrum&>()))> == kKeyCount);
static_assert(std::tuple_size_v<decltype(Texts(std::declval<FitsSpectrum&>()))> == kSpectrumTexts);

bool StartsWithMark(std::span<const std::uint8_t> head, std::string_view mark) {
  return std::equal(mark.begin(), mark.end(), head.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

std::vector<std::uint8_t> SpectrumAnswerHead(const FitsSpectrumResult& result) {
  std::vector<std::uint8_t> head(kSpectrumAnswerHeadBytes, 0);
  std::memcpy(head.data(), kSpectrumMark.data(), kSpectrumMark.size());
  Put(head, kErrorAt, static_cast<std::uint32_t>(result.error));
  if (result.error != FitsError::None) return head;
  const FitsSpectrum& s = result.spectrum;
  Put(head, kKindAt, static_cast<std::uint32_t>(s.table ? 1 : 0));
  Put(head, kSamplesAt, static_cast<std::uint64_t>(s.flux.size()));
  std::uint32_t flags = 0;
  const auto keys = Keys(s);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!*keys[i]) continue;
    flags |= 1U << i;
    Put(head, kKeysAt + 8 * i, **keys[i]);
  }
  Put(head, kKeyFlagsAt, flags);
  const auto texts = Texts(s);
  for (std::size_t i = 0; i < texts.size(); ++i) PutText(head, kSpectrumTextsAt + kTextBytes * i, *texts[i]);
  return head;
}

std::optional<FitsSpectrumResult> ReadSpectrumAnswerHead(std::span<const std::uint8_t> head) {
  if (head.size() != kSpectrumAnswerHeadBytes || !StartsWithMark(head, kSpectrumMark)) return std::nullopt;
  FitsSpectrumResult r;
  const auto error = Get<std::uint32_t>(head, kErrorAt);
  if (error > static_cast<std::uint32_t>(FitsError::Unavailable)) return std::nullopt;
  r.error = static_cast<FitsError>(error);
  if (r.error != FitsError::None) {
    if (!std::all_of(head.begin() + kKindAt, head.end(), [](std::uint8_t c) { return c == 0; })) return std::nullopt;
    return r;
  }
  FitsSpectrum& s = r.spectrum;
  const auto kind = Get<std::uint32_t>(head, kKindAt);
  const auto samples = Get<std::uint64_t>(head, kSamplesAt);
  const auto flags = Get<std::uint32_t>(head, kKeyFlagsAt);
  if (kind > 1 || samples > static_cast<std::uint64_t>(kMaxSpectrumSamples) || flags >= (1U << kKeyCount) ||
      Get<std::uint32_t>(head, kKeyFlagsAt + 4) != 0)
    return std::nullopt;
  s.table = kind == 1;
  if (s.table && flags != 0) return std::nullopt;
  bool sound = true;
  const auto keys = Keys(s);
  for (std::size_t i = 0; i < keys.size(); ++i) *keys[i] = GetFact(head, static_cast<std::uint8_t>(flags), static_cast<int>(i), kKeysAt + 8 * i, sound);
  if (!sound) return std::nullopt;
  const auto texts = Texts(s);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto text = GetText(head, kSpectrumTextsAt + kTextBytes * i);
    if (!text) return std::nullopt;
    *texts[i] = *text;
  }
  // An image has values and names no columns; a table's samples come only with both columns.
  if (!s.table && (samples == 0 || !s.waveColumn.empty() || !s.fluxColumn.empty())) return std::nullopt;
  if (s.table && samples > 0 && (s.waveColumn.empty() || s.fluxColumn.empty())) return std::nullopt;
  if (s.table && !s.ctype1.empty()) return std::nullopt;
  const auto n = static_cast<std::size_t>(samples);
  s.flux.resize(n);
  if (s.table) s.wavelength.resize(n);
  return r;
}

bool AnswerValuesSound(std::span<const float> values) {
  return std::all_of(values.begin(), values.end(), [](float v) { return std::isfinite(v); });
}

}  // namespace lxr4
