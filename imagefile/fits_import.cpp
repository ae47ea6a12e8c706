#include "imagefile/fits_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "base/num.h"

namespace lxr4 {

namespace {

constexpr int kColumns = 768;
constexpr int kRows = 20;
constexpr int kStoredMax = 32767;
constexpr std::size_t kHeaderBytes = 2048;
constexpr double kPeakThreshold = 0.1;  // of the profile's range: a swing smaller is noise

// A line of the import's notes: "Key = value".
constexpr std::string_view kSourceKey = "Source = ";
constexpr std::string_view kObjectKey = "Object = ";
constexpr std::string_view kDateObsKey = "Date_obs = ";
constexpr std::string_view kExposureKey = "Exposure = ";
// The target and the site as the frame's header wrote them. ("Height = " is
// the camera's own key for the image's rows.)
constexpr std::string_view kRaKey = "Target_ra = ";
constexpr std::string_view kDecKey = "Target_dec = ";
constexpr std::string_view kLatitudeKey = "Site_latitude = ";
constexpr std::string_view kLongitudeKey = "Site_longitude = ";
constexpr std::string_view kHeightKey = "Site_height = ";
constexpr std::string_view kOffsetKey = "Value_offset = ";
constexpr std::string_view kFactorKey = "Value_factor = ";

std::optional<double> ParseNumber(std::string_view text) {
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (r.ec != std::errc{} || r.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The frame's sums along each axis: by row (across a dispersion along the rows)
// and by column.
struct Profiles {
  std::vector<double> byRow, byColumn;
};

Profiles Collapse(const FitsFrame& f) {
  Profiles p{std::vector<double>(static_cast<std::size_t>(f.height)),
             std::vector<double>(static_cast<std::size_t>(f.width))};
  const auto w = static_cast<std::size_t>(f.width);
  for (std::size_t y = 0; y < p.byRow.size(); ++y) {
    const float* row = f.values.data() + y * w;
    double sum = 0;
    for (std::size_t x = 0; x < w; ++x) {
      sum += row[x];
      p.byColumn[x] += row[x];
    }
    p.byRow[y] = sum;
  }
  return p;
}

// Peaks that rise and fall by at least a tenth of the profile's range; the
// profile is taken to start and end at its minimum, so a maximum at an end counts.
int ProminentPeaks(const std::vector<double>& p) {
  const auto [lo, hi] = std::minmax_element(p.begin(), p.end());
  const double threshold = (*hi - *lo) * kPeakThreshold;
  if (!(threshold > 0)) return 0;
  int peaks = 0;
  bool rising = true;
  double extreme = *lo;  // the lowest value since the last peak, or the highest since the last valley
  for (const double v : p) {
    if (rising) {
      if (v - extreme >= threshold) {
        rising = false;
        extreme = v;
      } else {
        extreme = std::min(extreme, v);
      }
    } else if (extreme - v >= threshold) {
      ++peaks;
      rising = true;
      extreme = v;
    } else {
      extreme = std::max(extreme, v);
    }
  }
  if (!rising && extreme - *lo >= threshold) ++peaks;
  return peaks;
}

// The fraction of the profile above half its range.
double Breadth(const std::vector<double>& p) {
  const auto [lo, hi] = std::minmax_element(p.begin(), p.end());
  const double half = (*lo + *hi) / 2;
  return static_cast<double>(std::count_if(p.begin(), p.end(), [&](double v) { return v > half; })) /
         static_cast<double>(p.size());
}

DispersionAxis AxisOf(const Profiles& p) {
  const int alongRows = ProminentPeaks(p.byColumn), alongColumns = ProminentPeaks(p.byRow);
  if (alongRows != alongColumns) return alongRows > alongColumns ? DispersionAxis::Rows : DispersionAxis::Columns;
  return Breadth(p.byRow) > Breadth(p.byColumn) ? DispersionAxis::Columns : DispersionAxis::Rows;
}

// The first of `count` cross positions centred on the brightest trace: the peak of
// the cross profile smoothed over 5 pixels, so that a single hot row does not win.
int SwathStart(const std::vector<double>& cross, int count) {
  const int n = static_cast<int>(cross.size());
  int best = 0;
  double bestSum = -INFINITY;
  for (int c = 0; c < n; ++c) {
    double sum = 0;
    for (int k = std::max(0, c - 2); k <= std::min(n - 1, c + 2); ++k) sum += cross[static_cast<std::size_t>(k)];
    if (sum > bestSum) {
      bestSum = sum;
      best = c;
    }
  }
  return std::clamp(best - (count - 1) / 2, 0, n - count);
}

std::string DateText(const std::string& dateObs) {
  // "YYYY-MM-DD[Thh:mm:ss]" as the camera writes dates: MM/DD/YY; the old FITS "DD/MM/YY" likewise.
  int y = 0, m = 0, d = 0;
  if (std::sscanf(dateObs.c_str(), "%4d-%2d-%2d", &y, &m, &d) == 3 ||
      (std::sscanf(dateObs.c_str(), "%2d/%2d/%2d", &d, &m, &y) == 3)) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", m % 100, d % 100, y % 100);
    return text;
  }
  return {};
}

std::string TimeText(const FitsFacts& facts) {
  const std::size_t t = facts.dateObs.find('T');
  const std::string source = t != std::string::npos ? facts.dateObs.substr(t + 1) : facts.timeObs;
  int h = 0, m = 0, s = 0;
  if (std::sscanf(source.c_str(), "%2d:%2d:%2d", &h, &m, &s) != 3) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", h % 100, m % 100, s % 100);
  return text;
}

// Header text from the frame: printable characters only, never the layout's marker.
std::string Clean(const std::string& text) {
  std::string out;
  for (const char c : text.substr(0, 60)) out += (c >= ' ' && c <= '~') ? c : ' ';
  for (std::size_t at; (at = out.find("Compressed Image")) != std::string::npos;) out[at] = 'c';
  return out;
}

void AppendLine(std::vector<std::uint8_t>& block, std::string_view line) {
  block.insert(block.end(), line.begin(), line.end());
  block.push_back(10);
  block.push_back(13);
}

double Percentile(std::vector<int> values, double fraction) {
  const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

}  // namespace

double FrameValue(const ValueScale& scale, double spectrumValue, double rowsSummed) {
  return rowsSummed * scale.offset + spectrumValue / scale.factor;
}

DispersionAxis FindDispersionAxis(const FitsFrame& frame) { return AxisOf(Collapse(frame)); }

FrameImport ImportFrame(const FitsFrame& frame, const ImportOptions& options) {
  FrameImport result;
  const Profiles profiles = Collapse(frame);
  result.axis = options.axis == DispersionAxis::Auto ? AxisOf(profiles) : options.axis;
  const bool alongRows = result.axis == DispersionAxis::Rows;
  const int length = alongRows ? frame.width : frame.height;
  const int across = alongRows ? frame.height : frame.width;
  if (length < 2) return result;

  // The swath across the dispersion, and the pixels along it.
  int swath = 0;  // the first frame pixel across, from 0
  if (options.swathCentre) {
    result.rowBin = std::clamp(options.swathBin, 1, across);
    result.height = std::min(kRows, across / result.rowBin);
    const double first = std::round(*options.swathCentre + 0.5 - result.height * result.rowBin / 2.0);
    swath = static_cast<int>(std::clamp(first, 0.0, static_cast<double>(across - result.height * result.rowBin)));
  } else {
    result.height = std::min(kRows, across);
    swath = SwathStart(alongRows ? profiles.byRow : profiles.byColumn, result.height);
  }
  const int rowBin = result.rowBin;
  result.firstRow = swath + 1;
  result.lastRow = swath + result.height * rowBin;
  int first = 0;  // along the dispersion, from 0
  if (options.windowStart) {
    result.width = std::min(kColumns, length);
    first = std::clamp(*options.windowStart - 1, 0, length - result.width);
  } else {
    result.bin = (length + kColumns - 1) / kColumns;
    result.width = length / result.bin;
  }
  result.firstPixel = first + 1;
  result.lastPixel = first + result.width * result.bin;

  // The swath at full resolution, and the binned sums, row by row of the image.
  result.length = length;
  result.swath.resize(static_cast<std::size_t>(result.height) * static_cast<std::size_t>(length));
  for (int r = 0; r < result.height; ++r)
    for (int d = 0; d < length; ++d) {
      const auto at = [&](int c) { return alongRows ? frame.at(d, c) : frame.at(c, d); };
      float sum = at(swath + r * rowBin);
      for (int b = 1; b < rowBin; ++b) sum += at(swath + r * rowBin + b);
      result.swath[static_cast<std::size_t>(r) * static_cast<std::size_t>(length) + static_cast<std::size_t>(d)] = sum;
    }
  const auto cells = static_cast<std::size_t>(result.width * result.height);
  std::vector<double> sums(cells, 0.0);
  for (int r = 0; r < result.height; ++r) {
    for (int k = 0; k < result.width; ++k) {
      double sum = 0;
      for (int b = 0; b < result.bin; ++b)
        for (int a = 0; a < rowBin; ++a) {
          const int d = first + k * result.bin + b, c = swath + r * rowBin + a;
          sum += alongRows ? frame.at(d, c) : frame.at(c, d);
        }
      sums[static_cast<std::size_t>(r * result.width + k)] = sum;
    }
  }

  // Whole values that fit are kept as they are; others are stretched onto 0..32767.
  const auto [lo, hi] = std::minmax_element(sums.begin(), sums.end());
  const bool fits = *lo >= 0 && *hi <= kStoredMax &&
                    std::all_of(sums.begin(), sums.end(), [](double v) { return v == std::floor(v); });
  if (!fits) result.scale = {*lo, *hi > *lo ? kStoredMax / (*hi - *lo) : 1.0};
  std::vector<int> stored(cells);
  for (std::size_t i = 0; i < cells; ++i) {
    const double v = std::round((sums[i] - result.scale.offset) * result.scale.factor);
    stored[i] = static_cast<int>(std::clamp(v, 0.0, static_cast<double>(kStoredMax)));
  }

  // Display: black at the darkest 5 %, white from the brightest 0.5 %.
  const int background = static_cast<int>(Percentile(stored, 0.05));
  const int range = std::max(1, static_cast<int>(Percentile(stored, 0.995)) - background);

  const FitsFacts& facts = frame.facts;
  const std::optional<double> along = alongRows ? facts.pixelSizeX : facts.pixelSizeY;
  const std::optional<double> other = alongRows ? facts.pixelSizeY : facts.pixelSizeX;
  const double pixelAlong = along.value_or(other.value_or(options.defaultPixelSize));
  const double pixelAcross = other.value_or(pixelAlong) * rowBin;

  result.description = "FITS " + std::to_string(frame.width) + "x" + std::to_string(frame.height) + ", " +
                       (alongRows ? "rows " : "columns ") + std::to_string(result.firstRow) + "-" +
                       std::to_string(result.lastRow) + (rowBin > 1 ? " by " + std::to_string(rowBin) : "") + ", " +
                       (options.windowStart ? "pixels " + std::to_string(result.firstPixel) + "-" +
                                                  std::to_string(result.lastPixel)
                                            : "bin " + std::to_string(result.bin)) +
                       ", dispersion along " + (alongRows ? "rows" : "columns");

  std::vector<std::uint8_t>& file = result.file;
  file.reserve(kHeaderBytes + 2 * cells);
  AppendLine(file, "KM-1 Image");
  AppendLine(file, "Height = " + std::to_string(result.height));
  AppendLine(file, "Width = " + std::to_string(result.width));
  AppendLine(file, "Background = " + std::to_string(background));
  AppendLine(file, "Range = " + std::to_string(range));
  AppendLine(file, "X_pixel_size = " + ShortestText(pixelAlong * result.bin / 1000));
  AppendLine(file, "Y_pixel_size = " + ShortestText(pixelAcross / 1000));
  if (const std::string date = DateText(facts.dateObs); !date.empty()) AppendLine(file, "Date = " + date);
  if (const std::string time = TimeText(facts); !time.empty()) AppendLine(file, "Time = " + time);
  AppendLine(file, std::string(kSourceKey) + result.description);
  if (!facts.object.empty()) AppendLine(file, std::string(kObjectKey) + Clean(facts.object));
  if (!facts.dateObs.empty()) AppendLine(file, std::string(kDateObsKey) + Clean(facts.dateObs));
  if (facts.exposure) AppendLine(file, std::string(kExposureKey) + ShortestText(*facts.exposure));
  // Written only when the header had them, so other frames keep the bytes they
  // always had; never cut short, so a text too long is left out.
  for (const auto& [key, field] :
       {std::pair{kRaKey, &facts.ra}, std::pair{kDecKey, &facts.dec},
        std::pair{kLatitudeKey, &facts.latitude}, std::pair{kLongitudeKey, &facts.longitude},
        std::pair{kHeightKey, &facts.height}}) {
    if (!field->empty() && field->size() <= kMaxCoordinateText)
      AppendLine(file, std::string(key) + Clean(*field));
  }
  AppendLine(file, std::string(kOffsetKey) + ShortestText(result.scale.offset));
  AppendLine(file, std::string(kFactorKey) + ShortestText(result.scale.factor));
  AppendLine(file, "End");
  file.resize(kHeaderBytes, 0);
  for (const int v : stored) {
    file.push_back(static_cast<std::uint8_t>(v & 0xff));
    file.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  result.ok = true;
  return result;
}

FitsFileImport ImportFitsFile(std::span<const std::uint8_t> file, const ImportOptions& options,
                              const std::string& decoder) {
  const FitsReadResult read = ReadFitsFrame(file, decoder);
  if (read.error != FitsError::None) return {read.error, {}};
  return {FitsError::None, ImportFrame(read.frame, options)};
}

ImportNotes ReadImportNotes(std::span<const std::uint8_t> headerBlock) {
  ImportNotes notes;
  const std::string_view text(reinterpret_cast<const char*>(headerBlock.data()), headerBlock.size());
  std::optional<double> offset, factor;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\r', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.starts_with("End")) break;
    const auto value = [&](std::string_view key) { return line.substr(key.size()); };
    if (line.starts_with(kSourceKey)) notes.source = value(kSourceKey);
    if (line.starts_with(kObjectKey)) notes.object = value(kObjectKey);
    if (line.starts_with(kDateObsKey)) notes.dateObs = value(kDateObsKey);
    if (line.starts_with(kExposureKey)) notes.exposure = ParseNumber(value(kExposureKey));
    for (const auto& [key, field] :
         {std::pair{kRaKey, &notes.ra}, std::pair{kDecKey, &notes.dec},
          std::pair{kLatitudeKey, &notes.latitude}, std::pair{kLongitudeKey, &notes.longitude},
          std::pair{kHeightKey, &notes.height}}) {
      if (line.starts_with(key)) *field = value(key);
    }
    if (line.starts_with(kOffsetKey)) offset = ParseNumber(value(kOffsetKey));
    if (line.starts_with(kFactorKey)) factor = ParseNumber(value(kFactorKey));
  }
  if (offset && factor && *factor != 0) notes.scale = ValueScale{*offset, *factor};
  return notes;
}

}  // namespace lxr4
