// File > FITS Import...: the dialog's fields checked into settings, which the
// window keeps.
#include "imagefile/fits_settings.h"

#include <cmath>

#include "base/number_text.h"
#include "imagefile/handlers.h"

namespace lxr4 {

namespace {

// Micrometres; below the least, a denormal among them, the dispersion is no number.
constexpr double kMinPixelSize = 0.1, kMaxPixelSize = 1000;

FitsImportFields StoredFields(const Window& w) {
  return ParseFitsImportLine(w.FitsImportSetting()).value_or(FitsImportFields{});
}

}  // namespace

std::variant<FitsSettings, std::string> CheckFitsImportFields(const FitsImportFields& f) {
  FitsSettings settings;
  using A = FitsImportFields::Axis;
  settings.import.axis = f.axis == A::Rows      ? DispersionAxis::Rows
                         : f.axis == A::Columns ? DispersionAxis::Columns
                                                : DispersionAxis::Auto;
  if (f.fullResolution) {
    const std::optional<double> start = ParseDecimal(f.windowStart);
    if (!start || *start < 1 || *start > 1e9 || std::floor(*start) != *start)
      return std::string("The window start must be a whole number of 1 or more: the first frame pixel "
                         "of the 768-pixel window along the dispersion.");
    settings.import.windowStart = static_cast<int>(*start);
  }
  const std::optional<double> size = ParseDecimal(f.pixelSize);
  if (!size || !(*size > 0) || *size > kMaxPixelSize)
    return std::string("The pixel size must be a number of micrometres above 0 and at most 1000, "
                       "such as 9 or 6.5.");
  if (*size < kMinPixelSize) return std::string("The pixel size must be at least 0.1 micrometres, such as 9 or 6.5.");
  settings.import.defaultPixelSize = *size;
  settings.frameUnits = f.frameUnits;
  return settings;
}

FitsSettings CurrentFitsSettings(const Window& w) {
  const auto checked = CheckFitsImportFields(StoredFields(w));
  const FitsSettings* settings = std::get_if<FitsSettings>(&checked);
  return settings != nullptr ? *settings : FitsSettings{};
}

// A refused field leaves the settings as they were.
void fitsImport_Click(Program& app) {
  Window& w = app.w;
  const std::optional<FitsImportFields> fields = w.FitsImportDialog(StoredFields(w));
  if (!fields) return;
  const auto checked = CheckFitsImportFields(*fields);
  if (const std::string* message = std::get_if<std::string>(&checked)) {
    w.MessageBox(*message);
    return;
  }
  w.KeepFitsImportSetting(FitsImportWords(*fields));
}

}  // namespace lxr4
