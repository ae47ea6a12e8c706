#include "imagefile/spectrum_files.h"

#include "imagefile/cfitsio.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "imagefile/fits_memory_writer.h"

namespace lxr4 {

namespace {

// The fewest digits that read back to the same value; a value that is a single
// (the program's wavelengths are) at single precision: 3870.6716, not 3870.671630859375.
// std::to_chars never looks at the locale.
std::string Shortest(double value) {
  char text[32];
  const auto single = static_cast<float>(value);
  const auto r = static_cast<double>(single) == value ? std::to_chars(text, text + sizeof text, single)
                                                      : std::to_chars(text, text + sizeof text, value);
  return std::string(text, r.ptr);
}

// FITS header strings hold printable ASCII only.
std::string Printable(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c < ' ' || c > '~') c = '?';
  return out;
}

std::vector<double> Wavelengths(const SpectrumExport& s) {
  std::vector<double> w(s.values.size());
  for (std::size_t i = 0; i < w.size(); ++i) w[i] = s.wavelength(static_cast<int>(i) + 1);
  return w;
}

bool Monotonic(const std::vector<double>& w) {
  bool rising = true, falling = true;
  for (std::size_t i = 1; i < w.size(); ++i) {
    rising = rising && w[i] > w[i - 1];
    falling = falling && w[i] < w[i - 1];
  }
  return rising || falling;
}

void WriteText(FitsMemoryWriter& w, const char* key, const std::string& text, const char* comment) {
  if (text.empty()) return;
  std::string value = Printable(text);
  if (value.size() <= 68) {
    fits_write_key(w.get(), TSTRING, key, value.data(), comment, &w.status);
  } else {
    fits_write_key_longstr(w.get(), key, value.c_str(), comment, &w.status);
  }
}

// The wavelengths' frame and the values' kind, each only when it differs
// from what the files said before there was a choice (air, unshifted, counts).
void WriteFrame(FitsMemoryWriter& w, const SpectrumFacts& facts) {
  if (facts.vacuum)
    fits_write_key(w.get(), TSTRING, "AIRORVAC", const_cast<char*>("vac"), "wavelengths in vacuum", &w.status);
  if (facts.shiftKms != 0) {
    double kms = facts.shiftKms;
    fits_write_key(w.get(), TDOUBLE, "VELSHIFT", &kms, "rest frame of a source at this velocity, km/s",
                   &w.status);
  }
  if (facts.normalised) {
    int yes = 1;
    fits_write_key(w.get(), TLOGICAL, "CONTNORM", &yes, "values divided by their continuum", &w.status);
  }
  if (facts.combined > 1) {
    int combined = facts.combined;
    fits_write_key(w.get(), TINT, "NCOMBINE", &combined, "frames stacked", &w.status);
  }
  if (facts.relativeFlux)
    fits_write_key(w.get(), TSTRING, "FLUXCAL", const_cast<char*>("RELATIVE"),
                   "divided by the instrument response (median 1)", &w.status);
}

void WriteFacts(FitsMemoryWriter& w, const SpectrumFacts& facts) {
  WriteFrame(w, facts);
  WriteText(w, "OBJECT", facts.object, "object observed");
  WriteText(w, "DATE-OBS", facts.dateObs, "start of the exposure");
  if (facts.exposure) {
    double seconds = *facts.exposure;
    fits_write_key(w.get(), TDOUBLE, "EXPTIME", &seconds, "exposure time, s", &w.status);
  }
  for (std::size_t i = 0; i < facts.sourceFiles.size() && i < 99; ++i) {
    const std::string key = "SOURCE" + std::to_string(i + 1);
    WriteText(w, key.c_str(), facts.sourceFiles[i], "image the spectrum was taken from");
  }
  WriteText(w, "CALIB", facts.calibration, "wavelength calibration used");
  WriteText(w, "CREATOR", facts.program, "program that wrote this file");
  if (facts.calibration.size() > 68 || std::any_of(facts.sourceFiles.begin(), facts.sourceFiles.end(),
                                                   [](const std::string& f) { return f.size() > 68; }))
    fits_write_key_longwarn(w.get(), &w.status);
}

const char* WavelengthUnit(const SpectrumFacts& facts) { return facts.nanometres ? "nm" : "Angstrom"; }

SpectrumFile Finish(FitsMemoryWriter& w) {
  auto bytes = w.Finish();
  if (!bytes) return {SpectrumFileError::CannotBuild, {}};
  return {SpectrumFileError::None, std::move(*bytes)};
}

}  // namespace

SpectrumFile WriteLinearFitsSpectrum(const SpectrumExport& s) {
  if (!s.wavelength) return {SpectrumFileError::NoCalibration, {}};
  const std::size_t n = s.values.size();
  if (n < 2) return {SpectrumFileError::Empty, {}};
  std::vector<double> wave = Wavelengths(s);
  if (!Monotonic(wave)) return {SpectrumFileError::NotMonotonic, {}};
  std::vector<double> values = s.values;
  if (wave.front() > wave.back()) {
    std::reverse(wave.begin(), wave.end());
    std::reverse(values.begin(), values.end());
  }
  // N points from the first to the last wavelength; each value interpolated
  // linearly between the two columns around it.
  const double start = wave.front(), step = (wave.back() - wave.front()) / static_cast<double>(n - 1);
  std::vector<float> flux(n);
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double at = i + 1 == n ? wave.back() : start + step * static_cast<double>(i);
    while (k + 2 < n && wave[k + 1] < at) ++k;
    const double t = std::clamp((at - wave[k]) / (wave[k + 1] - wave[k]), 0.0, 1.0);
    flux[i] = static_cast<float>(values[k] + t * (values[k + 1] - values[k]));
  }

  FitsMemoryWriter w;
  if (w.get() == nullptr) return {SpectrumFileError::CannotBuild, {}};
  long axes[1] = {static_cast<long>(n)};
  fits_create_img(w.get(), FLOAT_IMG, 1, axes, &w.status);
  double one = 1;
  double crval = start, cdelt = step;
  fits_write_key(w.get(), TDOUBLE, "CRVAL1", &crval, "wavelength at the reference pixel", &w.status);
  fits_write_key(w.get(), TDOUBLE, "CDELT1", &cdelt, "wavelength step per pixel", &w.status);
  fits_write_key(w.get(), TDOUBLE, "CRPIX1", &one, "reference pixel", &w.status);
  const SpectrumFacts& facts = s.facts;
  fits_write_key(w.get(), TSTRING, "CTYPE1", const_cast<char*>("WAVE"),
                 facts.vacuum ? "vacuum wavelength, linear" : "air wavelength, linear", &w.status);
  fits_write_key(w.get(), TSTRING, "CUNIT1", const_cast<char*>(WavelengthUnit(facts)), nullptr, &w.status);
  if (facts.normalised)
    fits_write_key(w.get(), TSTRING, "BUNIT", const_cast<char*>(""), "no unit: divided by the continuum",
                   &w.status);
  else if (facts.relativeFlux)
    fits_write_key(w.get(), TSTRING, "BUNIT", const_cast<char*>(""), "relative flux", &w.status);
  else
    fits_write_key(w.get(), TSTRING, "BUNIT", const_cast<char*>("adu"), nullptr, &w.status);
  WriteFacts(w, s.facts);
  fits_write_img(w.get(), TFLOAT, 1, static_cast<long long>(n), flux.data(), &w.status);
  return Finish(w);
}

SpectrumFile WriteFitsTableSpectrum(const SpectrumExport& s) {
  const std::size_t n = s.values.size();
  if (n < 1) return {SpectrumFileError::Empty, {}};
  const bool calibrated = static_cast<bool>(s.wavelength);
  std::vector<std::int32_t> pixels(n);
  for (std::size_t i = 0; i < n; ++i) pixels[i] = static_cast<std::int32_t>(i) + s.firstPixel;
  std::vector<double> wave = calibrated ? Wavelengths(s) : std::vector<double>{};
  std::vector<double> values = s.values;

  std::vector<char*> names, forms, units;
  const auto column = [&](const char* name, const char* form, const char* unit) {
    names.push_back(const_cast<char*>(name));
    forms.push_back(const_cast<char*>(form));
    units.push_back(const_cast<char*>(unit));
  };
  column("PIXEL", "1J", "pix");
  if (calibrated) column("WAVELENGTH", "1D", WavelengthUnit(s.facts));
  column("VALUE", "1D", s.facts.normalised || s.facts.relativeFlux ? "" : "adu");

  FitsMemoryWriter w;
  if (w.get() == nullptr) return {SpectrumFileError::CannotBuild, {}};
  fits_create_img(w.get(), BYTE_IMG, 0, nullptr, &w.status);
  WriteFacts(w, s.facts);
  fits_create_tbl(w.get(), BINARY_TBL, static_cast<long long>(n), static_cast<int>(names.size()), names.data(),
                  forms.data(), units.data(), "SPECTRUM", &w.status);
  WriteFacts(w, s.facts);
  int col = 1;
  fits_write_col(w.get(), TINT, col++, 1, 1, static_cast<long long>(n), pixels.data(), &w.status);
  if (calibrated) fits_write_col(w.get(), TDOUBLE, col++, 1, 1, static_cast<long long>(n), wave.data(), &w.status);
  fits_write_col(w.get(), TDOUBLE, col, 1, 1, static_cast<long long>(n), values.data(), &w.status);
  return Finish(w);
}

SpectrumFile WriteCsvSpectrum(const SpectrumExport& s) {
  const bool calibrated = static_cast<bool>(s.wavelength);
  const SpectrumFacts& facts = s.facts;
  std::string text = "pixel,";
  if (calibrated) {
    // The unit last, after the last underscore, where readers (ours too) look for it.
    text += "wavelength_";
    if (facts.vacuum) text += "vacuum_";
    if (facts.shiftKms != 0) text += "rest_" + Shortest(facts.shiftKms) + "kms_";
    text += facts.nanometres ? "nm," : "angstrom,";
  }
  text += facts.normalised ? "normalised_value\r\n" : facts.relativeFlux ? "relative_flux\r\n" : "value\r\n";
  for (std::size_t i = 0; i < s.values.size(); ++i) {
    const int column = static_cast<int>(i) + 1;
    text += std::to_string(column - 1 + s.firstPixel) + ",";
    if (calibrated) text += Shortest(s.wavelength(column)) + ",";
    text += Shortest(s.values[i]) + "\r\n";
  }
  return {SpectrumFileError::None, std::vector<std::uint8_t>(text.begin(), text.end())};
}

}  // namespace lxr4
