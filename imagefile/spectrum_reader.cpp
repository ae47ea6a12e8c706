#include "imagefile/spectrum_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <new>
#include <optional>

#include "imagefile/fits_reader.h"
#include "imagefile/spectrum_columns.h"

namespace lxr4 {

namespace {

using Error = SpectrumReadError;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(std::string_view a, std::string_view lower) {
  return a.size() == lower.size() &&
         std::equal(a.begin(), a.end(), lower.begin(), [](char x, char y) { return Lower(x) == y; });
}

bool StartsWithLetters(std::string_view a, std::string_view lower) {
  return a.size() >= lower.size() && SameLetters(a.substr(0, lower.size()), lower);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// Angstroms in one of `unit`; nullopt for a unit that is not a length the
// program knows. No unit is Angstrom, as in IRAF's spectra.
std::optional<double> AngstromsPer(std::string_view unit) {
  unit = Trim(unit);
  struct Unit {
    std::string_view name;
    double angstroms;
  };
  static constexpr std::array<Unit, 16> kUnits = {{{"", 1},
                                                   {"angstrom", 1},
                                                   {"angstroms", 1},
                                                   {"a", 1},
                                                   {"aa", 1},
                                                   {"\xc3\x85", 1},      // the letter A with a ring, UTF-8
                                                   {"\xe2\x84\xab", 1},  // the Angstrom sign, UTF-8
                                                   {"0.1nm", 1},
                                                   {"nm", 10},
                                                   {"nanometer", 10},
                                                   {"um", 1e4},
                                                   {"micron", 1e4},
                                                   {"microns", 1e4},
                                                   {"mm", 1e7},
                                                   {"cm", 1e8},
                                                   {"m", 1e10}}};
  for (const Unit& u : kUnits)
    if (SameLetters(unit, u.name)) return u.angstroms;
  return std::nullopt;
}

// A refusal with its message.
SpectrumReadResult Refuse(Error e, const std::string& fileName, std::string_view detail = {}) {
  return SpectrumReadResult::Refused(e, SpectrumReadMessage(e, fileName, detail));
}

// Drops the samples whose wavelength or flux is not finite, converts the
// wavelengths to Angstrom (from log10 first, when `logarithmic`) and checks
// the result: at least 2 samples, all above 0, strictly monotonic. In place.
SpectrumReadResult Finish(OpenedSpectrum s, std::string_view unit, bool logarithmic,
                          const std::string& fileName) {
  const std::optional<double> scale = AngstromsPer(unit);
  if (!scale) return Refuse(Error::BadUnit, fileName, Trim(unit).substr(0, 24));  // a line of text is no unit
  std::size_t kept = 0;
  for (std::size_t i = 0; i < s.flux.size(); ++i) {
    if (!std::isfinite(s.wavelength[i]) || !std::isfinite(s.flux[i])) continue;
    s.wavelength[kept] = s.wavelength[i];
    s.flux[kept] = s.flux[i];
    ++kept;
  }
  s.wavelength.resize(kept);
  s.flux.resize(kept);
  if (kept < 2) return Refuse(Error::TooFewSamples, fileName);
  for (double& w : s.wavelength) {
    w = (logarithmic ? std::pow(10.0, w) : w) * *scale;
    if (!(w > 0) || !std::isfinite(w)) return Refuse(Error::NonPositiveWavelength, fileName);
  }
  const bool rising = s.wavelength[1] > s.wavelength[0];
  for (std::size_t i = 1; i < kept; ++i) {
    const double a = s.wavelength[i - 1], b = s.wavelength[i];
    if (rising ? !(b > a) : !(b < a)) return Refuse(Error::NotMonotonic, fileName);
  }
  SpectrumReadResult r;
  static_cast<OpenedSpectrum&>(r) = std::move(s);
  return r;
}

// ---- FITS ----

Error FromFits(FitsError e) {
  switch (e) {
    case FitsError::None:
      return Error::None;
    case FitsError::NotFits:
    case FitsError::NoImage:
      return Error::NotSpectrum;
    case FitsError::BadAxes:
      return Error::NotOneRow;
    case FitsError::TooLarge:
      return Error::TooLarge;
    case FitsError::Truncated:
      return Error::FitsTruncated;
    case FitsError::DecoderFailed:
      return Error::DecoderFailed;
    case FitsError::Unavailable:
      return Error::FitsUnavailable;
    case FitsError::Corrupt:
    case FitsError::NoValidPixels:
    case FitsError::BadScale:
      break;
  }
  return Error::FitsCorrupt;
}

// A CTYPE1 of a spectral axis that is not a wavelength (FITS WCS paper III).
bool OtherSpectralAxis(std::string_view ctype) {
  for (std::string_view kind : {"freq", "ener", "wavn", "vrad", "vopt", "zopt", "velo", "beta"})
    if (StartsWithLetters(ctype, kind)) return true;
  return false;
}

SpectrumReadResult FromFitsImage(FitsSpectrum& f, OpenedSpectrum s, const std::string& fileName) {
  const std::optional<double> step = f.cdelt1 ? f.cdelt1 : f.cd11;
  const double flag = f.dcFlag.value_or(0);
  if (!f.crval1 || !step || (flag != 0 && flag != 1) || OtherSpectralAxis(f.ctype1))
    return Refuse(Error::NoWavelengthAxis, fileName);
  const double start = *f.crval1, reference = f.crpix1.value_or(1);
  // WAVE-LOG: lambda = CRVAL1 exp(CDELT1 (p - CRPIX1) / CRVAL1); IRAF's DC-FLAG 1: log10 lambda linear.
  const bool waveLog = StartsWithLetters(f.ctype1, "wave-log") || StartsWithLetters(f.ctype1, "awav-log");
  if (waveLog && !(start > 0)) return Refuse(Error::NonPositiveWavelength, fileName);
  s.flux = std::move(f.flux);
  s.wavelength.resize(s.flux.size());
  for (std::size_t i = 0; i < s.flux.size(); ++i) {
    const double offset = static_cast<double>(i + 1) - reference;
    s.wavelength[i] = waveLog ? start * std::exp(*step * offset / start) : start + *step * offset;
  }
  return Finish(std::move(s), f.waveUnit, flag == 1, fileName);
}

SpectrumReadResult ReadFits(std::span<const std::uint8_t> bytes, const std::string& fileName,
                            const std::string& decoder) {
  FitsSpectrumResult read = ReadFitsSpectrum(bytes, decoder);
  if (read.error != FitsError::None) return Refuse(FromFits(read.error), fileName);
  FitsSpectrum& f = read.spectrum;
  OpenedSpectrum s;
  s.name = f.object;
  s.fluxUnit = f.fluxUnit;
  if (!f.table) return FromFitsImage(f, std::move(s), fileName);
  if (f.waveColumn.empty()) return Refuse(Error::NoWavelengthColumn, fileName);
  if (f.fluxColumn.empty()) return Refuse(Error::NoFluxColumn, fileName);
  s.wavelength = std::move(f.wavelength);
  s.flux = std::move(f.flux);
  const bool logarithmic = ClassifySpectrumColumn(f.waveColumn) == SpectrumColumn::LogWavelength;
  return Finish(std::move(s), f.waveUnit, logarithmic, fileName);
}

// ---- text ----

constexpr std::size_t kKeptFields = 8;

// The fields of a line: split at commas when it has one, else at blanks and
// tabs (a unit in brackets stays with the name before it); how many there
// are, the first kKeptFields of them kept.
struct Fields {
  std::array<std::string_view, kKeptFields> field{};
  std::size_t count = 0;

  explicit Fields(std::string_view line) {
    const auto add = [this](std::string_view f) {
      if (count < kKeptFields) field[count] = Trim(f);
      ++count;
    };
    if (line.find(',') != std::string_view::npos) {
      for (std::size_t from = 0;;) {
        const std::size_t comma = line.find(',', from);
        add(line.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
        if (comma == std::string_view::npos) break;
        from = comma + 1;
      }
      return;
    }
    std::size_t previous = 0;
    for (std::size_t at = 0; at < line.size();) {
      at = line.find_first_not_of(" \t\r", at);
      if (at == std::string_view::npos) break;
      const std::size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
      if (count > 0 && count <= kKeptFields && (line[at] == '(' || line[at] == '[')) {
        field[count - 1] = line.substr(previous, end - previous);  // "wavelength (nm)": a name and its unit
      } else {
        previous = at;
        add(line.substr(at, end - at));
      }
      at = end;
    }
  }
};

// A number as text writes it: '.' decimals whatever the locale, "nan" and "inf" too.
std::optional<double> Number(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  double value = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || r.ec != std::errc{} || r.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// A header field's name and the unit in brackets or after an underscore:
// "wavelength (nm)", "wavelength_angstrom", "flux[erg/s/cm2/A]". A unit in
// brackets is the file's word (and may be refused); after an underscore only
// a length the program knows is a unit ("wavelength_air" is a name).
struct HeaderName {
  std::string_view name, unit;
};

HeaderName SplitHeaderName(std::string_view field) {
  HeaderName h{field, {}};
  const std::size_t open = field.find_first_of("([");
  if (open != std::string_view::npos) {
    const std::size_t close = field.find_first_of(")]", open);
    h.name = Trim(field.substr(0, open));
    h.unit = Trim(field.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
    return h;
  }
  const std::size_t underscore = field.rfind('_');
  if (underscore != std::string_view::npos && AngstromsPer(field.substr(underscore + 1))) {
    h.name = field.substr(0, underscore);
    h.unit = field.substr(underscore + 1);
  }
  return h;
}

bool WavelengthName(std::string_view name) {
  const SpectrumColumn kind = ClassifySpectrumColumn(name);
  return kind == SpectrumColumn::Wavelength || kind == SpectrumColumn::LogWavelength ||
         StartsWithLetters(name, "wavelength");
}

// Which columns hold the wavelength and the flux, by the header line's names:
// the named ones; none when the first is "pixel" and none is a wavelength (the
// program's CSV before a calibration); else the first two.
struct TextColumns {
  Error error = Error::None;
  std::size_t wave = 0, flux = 1;
  std::string_view waveUnit, fluxUnit;
  bool logarithmic = false;
};

TextColumns ChooseColumns(std::string_view header, std::size_t columns) {
  TextColumns c;
  const Fields names(header);
  const std::size_t named = std::min({names.count, columns, kKeptFields});
  std::optional<std::size_t> wave, flux;
  for (std::size_t i = 0; i < named; ++i) {
    const HeaderName h = SplitHeaderName(names.field[i]);
    if (!wave && WavelengthName(h.name)) {
      wave = i;
      c.waveUnit = h.unit;
      c.logarithmic = ClassifySpectrumColumn(h.name) == SpectrumColumn::LogWavelength;
    } else if (!flux && ClassifySpectrumColumn(h.name) == SpectrumColumn::Flux) {
      flux = i;
      c.fluxUnit = h.unit;
    }
  }
  const bool pixelFirst = named > 0 && SameLetters(names.field[0], "pixel");
  if (!wave && (pixelFirst || columns < 2)) {
    c.error = Error::NoWavelengthColumn;
    return c;
  }
  c.wave = wave.value_or(0);
  if (!flux) {
    // The column after the wavelengths, or the first other one.
    flux = c.wave + 1 < columns ? c.wave + 1 : (c.wave == 0 ? 1 : 0);
    if (*flux >= columns) {
      c.error = Error::NoFluxColumn;
      return c;
    }
  }
  c.flux = *flux;
  return c;
}

bool TextBytes(std::span<const std::uint8_t> bytes) {
  return std::none_of(bytes.begin(), bytes.end(),
                      [](std::uint8_t b) { return b < 32 && b != '\n' && b != '\r' && b != '\t'; });
}

SpectrumReadResult ReadText(std::span<const std::uint8_t> bytes, const std::string& fileName) {
  if (!TextBytes(bytes)) return Refuse(Error::NotSpectrum, fileName);
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (text.starts_with("\xef\xbb\xbf")) text.remove_prefix(3);  // a UTF-8 byte-order mark
  OpenedSpectrum s;
  std::string_view header;
  TextColumns columns;
  std::size_t count = 0;  // fields in a data line, from the first
  int number = 0;
  for (std::size_t from = 0; from < text.size();) {
    const std::size_t end = std::min(text.find('\n', from), text.size());
    const std::string_view line = Trim(text.substr(from, end - from));
    from = end + 1;
    ++number;
    if (line.empty() || (count > 0 && line.starts_with('#'))) continue;
    const Fields fields(line);
    const bool numbers = Number(fields.field[0]).has_value();
    if (count == 0) {
      if (!numbers) {
        // The last line before the numbers names their columns, as a comment too ("# wavelength flux").
        header = Trim(line.substr(std::min(line.find_first_not_of('#'), line.size())));
        continue;
      }
      count = fields.count;
      columns = ChooseColumns(header, count);
      if (columns.error != Error::None) return Refuse(columns.error, fileName);
      // One pass to count the lines: room for all samples, allocated once.
      const auto lines = static_cast<std::size_t>(std::count(
                             text.begin() + static_cast<std::ptrdiff_t>(from) - 1, text.end(), '\n')) +
                         1;
      s.wavelength.reserve(std::min(lines, static_cast<std::size_t>(kMaxSpectrumSamples)));
      s.flux.reserve(std::min(lines, static_cast<std::size_t>(kMaxSpectrumSamples)));
    }
    const std::optional<double> wave =
        columns.wave < kKeptFields ? Number(fields.field[columns.wave]) : std::nullopt;
    const std::optional<double> flux =
        columns.flux < kKeptFields ? Number(fields.field[columns.flux]) : std::nullopt;
    if (fields.count != count || !wave || !flux)
      return Refuse(Error::BadTextLine, fileName, std::to_string(number));
    if (s.flux.size() >= static_cast<std::size_t>(kMaxSpectrumSamples))
      return Refuse(Error::TooLarge, fileName);
    // value_or, not *: GCC 12 at -O2 takes the checked optionals for unset.
    s.wavelength.push_back(wave.value_or(0));
    s.flux.push_back(flux.value_or(0));
  }
  if (count == 0) return Refuse(Error::NotSpectrum, fileName);
  s.fluxUnit = std::string(columns.fluxUnit);
  s.name = std::filesystem::path(fileName).filename().string();
  return Finish(std::move(s), columns.waveUnit, columns.logarithmic, fileName);
}

}  // namespace

SpectrumReadResult ReadSpectrumFile(std::span<const std::uint8_t> bytes, const std::string& fileName,
                                    const std::string& decoder) {
  try {
    if (bytes.empty()) return Refuse(Error::Empty, fileName);
    if (LooksLikeFits(bytes)) {
      SpectrumReadResult r = ReadFits(bytes, fileName, decoder);
      if (r.ok() && r.name.empty()) r.name = std::filesystem::path(fileName).filename().string();
      return r;
    }
    if (bytes.size() > kMaxSpectrumFileBytes) return Refuse(Error::TooLarge, fileName);
    return ReadText(bytes, fileName);
  } catch (const std::bad_alloc&) {
    return Refuse(Error::TooLarge, fileName);
  }
}

std::string SpectrumReadMessage(SpectrumReadError error, const std::string& fileName,
                                std::string_view detail) {
  const std::string d(detail);
  std::string what;
  switch (error) {
    case Error::None:
      return {};
    case Error::Empty:
      what = " is empty";
      break;
    case Error::NotSpectrum:
      what = " is not a spectrum (a FITS spectrum, or columns of wavelengths and values)";
      break;
    case Error::NotOneRow:
      what = " holds an image of more than one row, not a spectrum";
      break;
    case Error::NoWavelengthAxis:
      what = " has no wavelength axis (CRVAL1/CDELT1)";
      break;
    case Error::NoWavelengthColumn:
      what = " has no wavelengths";
      break;
    case Error::NoFluxColumn:
      what = " has wavelengths but no flux column";
      break;
    case Error::TooFewSamples:
      what = " has fewer than 2 samples with a wavelength and a value";
      break;
    case Error::NonPositiveWavelength:
      what = " has wavelengths at or below zero or out of range";
      break;
    case Error::NotMonotonic:
      what = " has wavelengths that neither rise nor fall throughout";
      break;
    case Error::BadUnit:
      what = " has a wavelength unit" + (d.empty() ? std::string() : " '" + d + "'") +
             " other than Angstrom, nm, um or m";
      break;
    case Error::BadTextLine:
      what = " has a line that is not numbers" + (d.empty() ? std::string() : " (line " + d + ")");
      break;
    case Error::FitsCorrupt:
      what = " is a damaged FITS file";
      break;
    case Error::FitsTruncated:
      what = " ends before its spectrum's data";
      break;
    case Error::DecoderFailed:
      what = " could not be decoded (the FITS decoder failed on it)";
      break;
    case Error::FitsUnavailable:
      what =
          ": FITS support is unavailable (lxr4-fits-decoder is missing beside the program or cannot be "
          "started)";
      break;
    case Error::TooLarge:
      what = " is too large (more than 16777216 samples or 256 MB)";
      break;
  }
  return fileName + what + " - not opened.";
}

}  // namespace lxr4
