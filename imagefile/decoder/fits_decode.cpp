#include "imagefile/decoder/fits_decode.h"

#include <fitsio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lxr4 {

namespace {

constexpr std::size_t kRecordBytes = 2880;

// An open cfitsio memory file, closed (and cfitsio's message stack cleared) on every path.
class MemoryFits {
 public:
  explicit MemoryFits(std::span<std::uint8_t> bytes) : data_(bytes.data()), size_(bytes.size()) {
    fits_open_memfile(&file_, "frame", READONLY, &data_, &size_, 0, nullptr, &status_);
    if (status_ != 0) file_ = nullptr;
  }
  ~MemoryFits() {
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
// A pixel size is kept whatever it is (above 0): the load checks it as the
// camera's pixel, and refuses a size no camera has.
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
    if (*size && !(**size > 0)) size->reset();
  }
}

struct ImageHdu {
  int bitpix = 0, naxis = 0;
  std::array<long long, 3> axes{};
  bool compressed = false;
};

// cfitsio's own view of the frame's HDU must agree with the layout's.
FitsError OpenImage(fitsfile* f, int number, ImageHdu& hdu) {
  int type = 0, status = 0;
  if (fits_movabs_hdu(f, number, &type, &status) != 0 || type != IMAGE_HDU) return FitsError::Corrupt;
  std::array<long long, 9> axes{};
  if (fits_get_img_paramll(f, static_cast<int>(axes.size()), &hdu.bitpix, &hdu.naxis, axes.data(), &status) != 0)
    return FitsError::Corrupt;
  std::copy_n(axes.begin(), 3, hdu.axes.begin());
  hdu.compressed = fits_is_compressed_image(f, &status) != 0;
  if (status != 0) return FitsError::Corrupt;
  switch (hdu.bitpix) {
    case BYTE_IMG: case SHORT_IMG: case LONG_IMG: case LONGLONG_IMG: case FLOAT_IMG: case DOUBLE_IMG:
      break;
    default:
      return FitsError::Corrupt;
  }
  if (hdu.naxis != 2 && hdu.naxis != 3) return FitsError::BadAxes;
  const long long width = hdu.axes[0], height = hdu.axes[1];
  if (width < 1 || height < 1 || (width < 2 && height < 2)) return FitsError::BadAxes;
  if (width > kMaxFrameSide || height > kMaxFrameSide || width * height > kMaxFramePixels) return FitsError::TooLarge;
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

}  // namespace

FitsReadResult DecodeFitsFrame(std::vector<std::uint8_t>& file, int imageHdu) {
  FitsReadResult result;
  file.resize((file.size() + kRecordBytes - 1) / kRecordBytes * kRecordBytes, 0);
  const MemoryFits fits(file);
  if (fits.get() == nullptr) {
    result.error = FitsError::Corrupt;
    return result;
  }
  ImageHdu hdu;
  result.error = OpenImage(fits.get(), imageHdu, hdu);
  if (result.error != FitsError::None) return result;
  // A damaged tile heap may still decode, to garbage: when the HDU carries the
  // sum of its data (DATASUM), the data must still add up to it. (A header's
  // CHECKSUM is not held against it: tools that edit a key often leave it.)
  int dataSum = 0, headerSum = 0, sumStatus = 0;
  if (fits_verify_chksum(fits.get(), &dataSum, &headerSum, &sumStatus) == 0 && dataSum == -1) {
    result.error = FitsError::Corrupt;
    return result;
  }
  FitsFrame& frame = result.frame;
  frame.width = static_cast<int>(hdu.axes[0]);
  frame.height = static_cast<int>(hdu.axes[1]);
  frame.bitpix = hdu.bitpix;
  frame.tileCompressed = hdu.compressed;
  result.error = ReadPlane(fits.get(), hdu, frame);
  if (result.error != FitsError::None) return result;
  ReadFacts(fits.get(), frame.facts);
  int type = 0, status = 0;
  if (fits_movabs_hdu(fits.get(), 1, &type, &status) == 0) ReadFacts(fits.get(), frame.facts);
  return result;
}

}  // namespace lxr4
