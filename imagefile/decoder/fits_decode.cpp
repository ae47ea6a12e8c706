#include "imagefile/decoder/fits_decode.h"

#include "imagefile/spectrum_columns.h"

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

// A coordinate key's text as written, blanks around it taken off: absent when
// empty, longer than kMaxCoordinateText (or `limit`) or holding anything but
// printable characters (never cut short: a shortened number would be another place).
std::optional<std::string> CoordinateKey(fitsfile* f, const char* name, std::size_t limit = kMaxCoordinateText) {
  std::string text = StringKey(f, name).value_or("");
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  if (text.empty() || text.size() > limit ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; }))
    return std::nullopt;
  return text;
}

// The target's and the site's keys, each pair from the first family the HDU
// has both keys of. Longitudes are taken as written, east positive as these
// keys mostly are; some observatories write LONG-OBS west positive, and such a
// header gives the wrong site. ALTITUDE beside LATITUDE/LONGITUD is no height:
// telescopes write there the altitude their tube points at (the Liverpool
// Telescope's frames: "[degrees] Altitude axis position"), so that family
// gives none.
void ReadPlace(fitsfile* f, FitsFacts& facts) {
  struct Family {
    const char *first, *second, *third;
  };
  if (facts.ra.empty()) {
    for (const Family& k : {Family{"RA", "DEC", nullptr}, Family{"OBJCTRA", "OBJCTDEC", nullptr},
                            Family{"TELRA", "TELDEC", nullptr}}) {
      const auto ra = CoordinateKey(f, k.first), dec = CoordinateKey(f, k.second);
      if (!ra || !dec) continue;
      facts.ra = *ra;
      facts.dec = *dec;
      break;
    }
  }
  if (facts.latitude.empty()) {
    for (const Family& k :
         {Family{"SITELAT", "SITELONG", "SITEELEV"}, Family{"LAT-OBS", "LONG-OBS", "ALT-OBS"},
          Family{"LATITUDE", "LONGITUD", nullptr}, Family{"OBSGEO-B", "OBSGEO-L", "OBSGEO-H"}}) {
      const auto latitude = CoordinateKey(f, k.first), longitude = CoordinateKey(f, k.second);
      if (!latitude || !longitude) continue;
      facts.latitude = *latitude;
      facts.longitude = *longitude;
      if (k.third != nullptr) facts.height = CoordinateKey(f, k.third).value_or("");
      break;
    }
  }
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
  ReadPlace(f, facts);
  // The reduction's keys, by the same rule as a coordinate: as written or absent.
  const std::array<std::pair<std::string*, const char*>, 3> texts{
      {{&facts.imageType, "IMAGETYP"}, {&facts.biasSection, "BIASSEC"}, {&facts.trimSection, "TRIMSEC"}}};
  for (const auto& [text, key] : texts)
    if (text->empty()) *text = CoordinateKey(f, key, kMaxReductionText).value_or("");
  // Observatories' own words for the same: OBSTYPE, CCDXBIN and CCDYBIN.
  if (facts.imageType.empty()) facts.imageType = CoordinateKey(f, "OBSTYPE", kMaxReductionText).value_or("");
  Fill(facts.binX, NumberKey(f, "XBINNING"));
  Fill(facts.binY, NumberKey(f, "YBINNING"));
  Fill(facts.binX, NumberKey(f, "CCDXBIN"));
  Fill(facts.binY, NumberKey(f, "CCDYBIN"));
  for (std::optional<double>* bin : {&facts.binX, &facts.binY}) {
    if (*bin && !(**bin >= 1)) bin->reset();
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

// A damaged heap may still decode, to garbage: when the HDU carries the sum of
// its data (DATASUM), the data must still add up to it. (A header's CHECKSUM is
// not held against it: tools that edit a key often leave it.)
bool DataSumFails(fitsfile* f) {
  int dataSum = 0, headerSum = 0, status = 0;
  return fits_verify_chksum(f, &dataSum, &headerSum, &status) == 0 && dataSum == -1;
}

FitsError ReadDoubles(int status) { return status == END_OF_FILE ? FitsError::Truncated : FitsError::Corrupt; }

FitsError ReadImageSpectrum(fitsfile* f, FitsSpectrum& s) {
  int bitpix = 0, naxis = 0, status = 0;
  std::array<long long, 9> axes{};
  if (fits_get_img_paramll(f, static_cast<int>(axes.size()), &bitpix, &naxis, axes.data(), &status) != 0)
    return FitsError::Corrupt;
  if (naxis != 1 && !(naxis == 2 && axes[1] == 1)) return FitsError::BadAxes;
  if (axes[0] < 1) return FitsError::BadAxes;
  if (axes[0] > kMaxSpectrumSamples) return FitsError::TooLarge;
  s.flux.assign(static_cast<std::size_t>(axes[0]), 0.0);
  std::array<long long, 2> first{1, 1};
  double undefined = std::numeric_limits<double>::quiet_NaN();
  int anyUndefined = 0;
  if (fits_read_pixll(f, TDOUBLE, first.data(), axes[0], &undefined, s.flux.data(), &anyUndefined, &status) != 0)
    return ReadDoubles(status);
  s.crval1 = NumberKey(f, "CRVAL1");
  s.cdelt1 = NumberKey(f, "CDELT1");
  s.cd11 = NumberKey(f, "CD1_1");
  s.crpix1 = NumberKey(f, "CRPIX1");
  s.dcFlag = NumberKey(f, "DC-FLAG");
  s.ctype1 = StringKey(f, "CTYPE1").value_or("");
  s.waveUnit = StringKey(f, "CUNIT1").value_or("");
  s.fluxUnit = StringKey(f, "BUNIT").value_or("");
  return FitsError::None;
}

// A column of plain numbers (not text, logical, bits, complex or variable length).
bool NumberColumn(fitsfile* f, int column, long long& repeat) {
  int type = 0, status = 0;
  long long width = 0;
  if (fits_get_coltypell(f, column, &type, &repeat, &width, &status) != 0) return false;
  switch (type) {
    case TBYTE: case TSBYTE: case TSHORT: case TUSHORT: case TINT: case TUINT: case TLONG: case TULONG:
    case TLONGLONG: case TULONGLONG: case TFLOAT: case TDOUBLE:
      return repeat >= 1;
    default:
      return false;
  }
}

FitsError ReadTableSpectrum(fitsfile* f, FitsSpectrum& s) {
  int columns = 0, status = 0;
  long long rows = 0;
  if (fits_get_num_cols(f, &columns, &status) != 0 || fits_get_num_rowsll(f, &rows, &status) != 0)
    return FitsError::Corrupt;
  // The first wavelength column, then the first flux column with as many values per row.
  int wave = 0, flux = 0;
  long long waveRepeat = 0;
  for (const bool seekingWave : {true, false}) {
    for (int c = 1; c <= columns && (seekingWave ? wave : flux) == 0; ++c) {
      const std::string name = StringKey(f, ("TTYPE" + std::to_string(c)).c_str()).value_or("");
      const SpectrumColumn kind = ClassifySpectrumColumn(name);
      long long repeat = 0;
      if (kind == SpectrumColumn::Other || (kind != SpectrumColumn::Flux) != seekingWave ||
          !NumberColumn(f, c, repeat) || (!seekingWave && repeat != waveRepeat))
        continue;
      (seekingWave ? wave : flux) = c;
      if (seekingWave) waveRepeat = repeat;
      (seekingWave ? s.waveColumn : s.fluxColumn) = name;
      (seekingWave ? s.waveUnit : s.fluxUnit) = StringKey(f, ("TUNIT" + std::to_string(c)).c_str()).value_or("");
    }
    if (wave == 0) break;
  }
  if (wave == 0 || flux == 0) return FitsError::None;  // the reader says which is missing
  if (rows > kMaxSpectrumSamples / waveRepeat) return FitsError::TooLarge;
  const long long n = rows * waveRepeat;
  s.wavelength.assign(static_cast<std::size_t>(n), 0.0);
  s.flux.assign(static_cast<std::size_t>(n), 0.0);
  double undefined = std::numeric_limits<double>::quiet_NaN();
  int anyUndefined = 0;
  if (n > 0 && (fits_read_col(f, TDOUBLE, wave, 1, 1, n, &undefined, s.wavelength.data(), &anyUndefined, &status) != 0 ||
                fits_read_col(f, TDOUBLE, flux, 1, 1, n, &undefined, s.flux.data(), &anyUndefined, &status) != 0))
    return ReadDoubles(status);
  return FitsError::None;
}

}  // namespace

FitsSpectrumResult DecodeFitsSpectrum(std::vector<std::uint8_t>& file, int hdu) {
  FitsSpectrumResult result;
  file.resize((file.size() + kRecordBytes - 1) / kRecordBytes * kRecordBytes, 0);
  const MemoryFits fits(file);
  int type = 0, status = 0;
  if (fits.get() == nullptr || fits_movabs_hdu(fits.get(), hdu, &type, &status) != 0 ||
      (type != IMAGE_HDU && type != BINARY_TBL) || DataSumFails(fits.get()))
    return FitsSpectrumResult::Refused(FitsError::Corrupt);
  FitsSpectrum& s = result.spectrum;
  s.table = type == BINARY_TBL;
  result.error = s.table ? ReadTableSpectrum(fits.get(), s) : ReadImageSpectrum(fits.get(), s);
  if (result.error != FitsError::None) return FitsSpectrumResult::Refused(result.error);
  s.object = StringKey(fits.get(), "OBJECT").value_or("");
  if (s.object.empty() && fits_movabs_hdu(fits.get(), 1, &type, &status) == 0)
    s.object = StringKey(fits.get(), "OBJECT").value_or("");
  return result;
}

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
