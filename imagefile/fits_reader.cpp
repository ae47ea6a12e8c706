#include "imagefile/fits_reader.h"

#include "imagefile/cfitsio.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <string_view>

#include "imagefile/gzip.h"

namespace lxr4 {

namespace {

constexpr std::string_view kSimpleCard = "SIMPLE  =";
constexpr int kMaxHdus = 64;
constexpr std::size_t kRecordBytes = 2880;

bool StartsAsFits(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kSimpleCard.size() &&
         std::equal(kSimpleCard.begin(), kSimpleCard.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// An open cfitsio memory file, closed (and cfitsio's message stack cleared) on every path.
class MemoryFits {
 public:
  explicit MemoryFits(std::span<const std::uint8_t> bytes)
      : data_(const_cast<std::uint8_t*>(bytes.data())), size_(bytes.size()) {
    if (!CfitsioLoaded()) return;
    // cfitsio takes a read-only memory file by a non-const pointer but does not write it.
    fits_open_memfile(&file_, "frame", READONLY, &data_, &size_, 0, nullptr, &status_);
    if (status_ != 0) file_ = nullptr;
  }
  ~MemoryFits() {
    if (!CfitsioLoaded()) return;
    if (file_ != nullptr) {
      int status = 0;
      fits_close_file(file_, &status);
    }
    fits_clear_errmsg();
  }
  MemoryFits(const MemoryFits&) = delete;
  MemoryFits& operator=(const MemoryFits&) = delete;

  [[nodiscard]] fitsfile* get() const { return file_; }

 private:
  void* data_;
  std::size_t size_;
  fitsfile* file_ = nullptr;
  int status_ = 0;
};

std::optional<std::string> StringKey(fitsfile* f, const char* name) {
  std::array<char, FLEN_VALUE> value{};
  int status = 0;
  fits_read_key(f, TSTRING, name, value.data(), nullptr, &status);
  if (status != 0) return std::nullopt;
  return std::string(value.data());
}

std::optional<double> NumberKey(fitsfile* f, const char* name) {
  double value = 0;
  int status = 0;
  fits_read_key(f, TDOUBLE, name, &value, nullptr, &status);
  if (status != 0 || !std::isfinite(value)) return std::nullopt;
  return value;
}

template <typename T>
void Fill(std::optional<T>& to, std::optional<T> from) {
  if (!to) to = std::move(from);
}

// Reads the facts of the current HDU; keys found earlier (in another HDU) stay.
void ReadFacts(fitsfile* f, FitsFacts& facts) {
  if (facts.object.empty()) facts.object = StringKey(f, "OBJECT").value_or("");
  if (facts.dateObs.empty()) facts.dateObs = StringKey(f, "DATE-OBS").value_or("");
  if (facts.timeObs.empty()) {
    facts.timeObs = StringKey(f, "TIME-OBS").value_or(StringKey(f, "UT").value_or(""));
  }
  Fill(facts.exposure, NumberKey(f, "EXPTIME"));
  Fill(facts.exposure, NumberKey(f, "EXPOSURE"));
  for (const char* key : {"XPIXSZ", "PIXSIZE1", "XPIXELSZ"}) Fill(facts.pixelSizeX, NumberKey(f, key));
  for (const char* key : {"YPIXSZ", "PIXSIZE2", "YPIXELSZ"}) Fill(facts.pixelSizeY, NumberKey(f, key));
  for (std::optional<double>* size : {&facts.pixelSizeX, &facts.pixelSizeY}) {
    if (*size && !(**size > 0 && **size < 1e4)) size->reset();
  }
}

// cfitsio divides by some keys of a tile-compressed image while it moves to it
// (a tile size of 0 ends the process), allocates by a table's TFIELDS, and
// copies a table's texts without bounds, so the raw cards are checked first:
// every 80-byte card of the file that reads as a keyword card must be printable
// text, and TFIELDS, ZBITPIX, ZNAXIS, ZNAXISn, ZTILEn and the ZVALn named
// BLOCKSIZE or BYTEPIX must hold sane values.
std::optional<long long> CardInteger(std::string_view card) {
  std::string_view value = card.substr(10);
  value = value.substr(0, value.find('/'));
  while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  long long number = 0;
  const auto r = std::from_chars(value.data(), value.data() + value.size(), number);
  if (r.ec != std::errc{} || r.ptr != value.data() + value.size()) return std::nullopt;
  return number;
}

bool HeaderCardsSane(std::span<const std::uint8_t> file) {
  constexpr std::size_t kCard = 80;
  std::array<std::string, 10> names;  // ZNAMEn, n 1..9
  std::array<std::optional<long long>, 10> values;
  for (std::size_t at = 0; at + kCard <= file.size(); at += kCard) {
    const std::string_view card(reinterpret_cast<const char*>(file.data() + at), kCard);
    if (card.substr(8, 2) != "= " || !std::all_of(card.begin(), card.begin() + 8, [](char c) {
          return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ' ';
        }))
      continue;
    if (!std::all_of(card.begin(), card.end(), [](char c) { return c >= ' ' && c <= '~'; })) return false;
    std::string_view key = card.substr(0, 8);
    key = key.substr(0, key.find(' '));
    const std::optional<long long> number = CardInteger(card);
    const auto indexed = [&](std::string_view stem) {
      return key.size() == stem.size() + 1 && key.starts_with(stem) && key.back() >= '1' && key.back() <= '9';
    };
    if (key == "TFIELDS") {
      if (!number || *number < 0 || *number > 999) return false;
    } else if (key == "ZBITPIX") {
      if (!number || (*number != 8 && *number != 16 && *number != 32 && *number != 64 && *number != -32 &&
                      *number != -64))
        return false;
    } else if (key == "ZNAXIS") {
      if (!number || *number < 1 || *number > 9) return false;
    } else if (key.starts_with("ZNAXIS") || key.starts_with("ZTILE")) {
      if (!number || *number < 1 || *number > kMaxFramePixels) return false;
    } else if (indexed("ZNAME")) {
      std::string_view name = card.substr(10);
      name = name.substr(0, name.find('/'));
      names[static_cast<std::size_t>(key.back() - '0')] = std::string(name);
    } else if (indexed("ZVAL")) {
      values[static_cast<std::size_t>(key.back() - '0')] = number;
    }
  }
  for (std::size_t n = 1; n < names.size(); ++n) {
    const auto v = values[n];
    if (names[n].find("'BLOCKSIZE") != std::string::npos && !(v && (*v == 16 || *v == 32))) return false;
    if (names[n].find("'BYTEPIX") != std::string::npos && !(v && (*v == 1 || *v == 2 || *v == 4 || *v == 8)))
      return false;
  }
  return true;
}

struct ImageHdu {
  int bitpix = 0, naxis = 0;
  std::array<long long, 3> axes{};
  bool compressed = false;
};

// Moves to the first HDU holding image data (NAXIS above 0).
FitsError FindImage(fitsfile* f, ImageHdu& hdu) {
  for (int number = 1; number <= kMaxHdus; ++number) {
    int type = 0, status = 0;
    if (fits_movabs_hdu(f, number, &type, &status) != 0) {
      return status == END_OF_FILE || status == BAD_HDU_NUM ? FitsError::NoImage : FitsError::Corrupt;
    }
    if (type != IMAGE_HDU) continue;
    int naxis = 0;
    std::array<long long, 9> axes{};
    if (fits_get_img_paramll(f, static_cast<int>(axes.size()), &hdu.bitpix, &naxis, axes.data(), &status) != 0) {
      return FitsError::Corrupt;
    }
    if (naxis == 0) continue;
    hdu.naxis = naxis;
    std::copy_n(axes.begin(), 3, hdu.axes.begin());
    hdu.compressed = fits_is_compressed_image(f, &status) != 0;
    return status == 0 ? FitsError::None : FitsError::Corrupt;
  }
  return FitsError::NoImage;
}

FitsError CheckImage(const ImageHdu& hdu) {
  switch (hdu.bitpix) {
    case BYTE_IMG: case SHORT_IMG: case LONG_IMG: case LONGLONG_IMG: case FLOAT_IMG: case DOUBLE_IMG:
      break;
    default:
      return FitsError::Corrupt;
  }
  if (hdu.naxis != 2 && hdu.naxis != 3) return FitsError::BadAxes;
  const long long width = hdu.axes[0], height = hdu.axes[1];
  if (width < 1 || height < 1 || (hdu.naxis == 3 && hdu.axes[2] < 1)) return FitsError::BadAxes;
  if (width < 2 && height < 2) return FitsError::BadAxes;
  if (width > kMaxFrameSide || height > kMaxFrameSide || width * height > kMaxFramePixels) return FitsError::TooLarge;
  return FitsError::None;
}

// An uncompressed plane must lie wholly within the file.
FitsError CheckDataPresent(fitsfile* f, const ImageHdu& hdu, std::size_t fileSize) {
  if (hdu.compressed) return FitsError::None;  // cfitsio checks each tile as it reads it
  long long headStart = 0, dataStart = 0, dataEnd = 0;
  int status = 0;
  if (fits_get_hduaddrll(f, &headStart, &dataStart, &dataEnd, &status) != 0) return FitsError::Corrupt;
  const long long planeBytes = hdu.axes[0] * hdu.axes[1] * (std::abs(hdu.bitpix) / 8);
  if (dataStart < 0 || static_cast<unsigned long long>(dataStart + planeBytes) > fileSize) return FitsError::Truncated;
  return FitsError::None;
}

FitsError ReadPlane(fitsfile* f, const ImageHdu& hdu, FitsFrame& frame) {
  const long long count = hdu.axes[0] * hdu.axes[1];
  frame.values.assign(static_cast<std::size_t>(count), 0.0f);
  std::array<long long, 3> first{1, 1, 1};
  float undefined = std::numeric_limits<float>::quiet_NaN();
  int anyUndefined = 0, status = 0;
  fits_read_pixll(f, TFLOAT, first.data(), count, &undefined, frame.values.data(), &anyUndefined, &status);
  if (status == NUM_OVERFLOW) status = 0;  // values beyond a float's range are kept at its limits
  if (status != 0) {
    frame.values.clear();
    return status == END_OF_FILE ? FitsError::Truncated : FitsError::Corrupt;
  }
  bool anyValid = false;
  for (float& v : frame.values) {
    if (std::isfinite(v)) {
      anyValid = true;
    } else {
      v = 0.0f;
    }
  }
  if (!anyValid) {
    frame.values.clear();
    return FitsError::NoValidPixels;
  }
  return FitsError::None;
}

FitsReadResult ReadPlain(std::span<const std::uint8_t> file, bool gzipped) {
  FitsReadResult result;
  // cfitsio reads a memory file in whole 2880-byte records: a file that ends
  // within one is padded with zeros, and the data check below uses its true size.
  std::vector<std::uint8_t> padded;
  if (file.size() % kRecordBytes != 0) {
    padded.assign(file.begin(), file.end());
    padded.resize((file.size() / kRecordBytes + 1) * kRecordBytes, 0);
  }
  if (!HeaderCardsSane(file)) {
    result.error = FitsError::Corrupt;
    return result;
  }
  const MemoryFits fits(padded.empty() ? file : std::span<const std::uint8_t>(padded));
  if (fits.get() == nullptr) {
    result.error = FitsError::Corrupt;
    return result;
  }
  ImageHdu hdu;
  result.error = FindImage(fits.get(), hdu);
  if (result.error == FitsError::None) result.error = CheckImage(hdu);
  if (result.error == FitsError::None) result.error = CheckDataPresent(fits.get(), hdu, file.size());
  if (result.error != FitsError::None) return result;

  FitsFrame& frame = result.frame;
  frame.width = static_cast<int>(hdu.axes[0]);
  frame.height = static_cast<int>(hdu.axes[1]);
  frame.bitpix = hdu.bitpix;
  frame.tileCompressed = hdu.compressed;
  frame.gzipped = gzipped;
  result.error = ReadPlane(fits.get(), hdu, frame);
  if (result.error != FitsError::None) return result;
  ReadFacts(fits.get(), frame.facts);
  int type = 0, status = 0;
  if (fits_movabs_hdu(fits.get(), 1, &type, &status) == 0) ReadFacts(fits.get(), frame.facts);
  return result;
}

}  // namespace

bool LooksLikeFits(std::span<const std::uint8_t> file) {
  if (StartsAsFits(file)) return true;
  if (!IsGzip(file)) return false;
  try {
    const auto start = InflateGzip(file, kSimpleCard.size());
    return start && StartsAsFits(*start);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

FitsReadResult ReadFitsFrame(std::span<const std::uint8_t> file) {
  try {
    if (StartsAsFits(file)) return ReadPlain(file, false);
    if (IsGzip(file)) {
      const auto inflated = InflateGzip(file, kMaxInflatedBytes);
      if (inflated && StartsAsFits(*inflated)) return ReadPlain(*inflated, true);
      if (inflated && inflated->size() < kSimpleCard.size()) return {FitsError::Truncated, {}};
    }
    return {FitsError::NotFits, {}};
  } catch (const std::bad_alloc&) {
    return {FitsError::TooLarge, {}};
  }
}

}  // namespace lxr4
