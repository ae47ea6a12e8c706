// The Observation's texts as numbers (see observation_text.h).
#include "measure/observation_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "base/number_text.h"
#include "base/quoted_text.h"

namespace lxr4 {
namespace {

using R = Result<ObservationError, ObservationValues>;

constexpr double kMaxExposure = 1e6;                        // seconds, as BarycentricVelocity takes
constexpr double kLowestSite = -500, kHighestSite = 10000;  // metres

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Digits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits with an optional fraction ("17", "17.25"), as a number.
std::optional<double> Unsigned(std::string_view text, bool fraction) {
  const std::size_t point = text.find('.');
  if (point != std::string_view::npos &&
      (!fraction || !Digits(text.substr(0, point)) || !Digits(text.substr(point + 1))))
    return std::nullopt;
  if (point == std::string_view::npos && !Digits(text)) return std::nullopt;
  double value = 0;
  const auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// The fields of a sexagesimal text: split at each ':' or at runs of blanks.
std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  const bool colons = text.find(':') != std::string_view::npos;
  while (true) {
    const std::size_t end = colons ? text.find(':') : text.find_first_of(" \t");
    fields.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return fields;
    text.remove_prefix(end + 1);
    if (!colons) text = Trimmed(text);
  }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DaysIn(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD", then "Thh:mm:ss[.s...]" or the same after a blank; the date in
// the "T" form, or empty when out of form or not a day and time of the calendar.
std::string IsoDate(std::string_view text) {
  const auto number = [&](std::size_t at, std::size_t digits) {
    int value = 0;
    std::from_chars(text.data() + at, text.data() + at + digits, value);
    return value;
  };
  const auto digitsAt = [&](std::initializer_list<std::size_t> places) {
    return std::all_of(places.begin(), places.end(), [&](std::size_t at) { return IsDigit(text[at]); });
  };
  if (text.size() < 10 || !digitsAt({0, 1, 2, 3, 5, 6, 8, 9}) || text[4] != '-' || text[7] != '-') return {};
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  if (month < 1 || month > 12 || day < 1 || day > DaysIn(year, month)) return {};
  std::string date(text);
  if (text.size() == 10) return date;
  if (text.size() < 19 || (text[10] != 'T' && text[10] != ' ') || !digitsAt({11, 12, 14, 15, 17, 18}) ||
      text[13] != ':' || text[16] != ':')
    return {};
  if (number(11, 2) > 23 || number(14, 2) > 59 || number(17, 2) > 59) return {};
  if (text.size() > 19 && (text[19] != '.' || !Digits(text.substr(20)))) return {};
  date[10] = 'T';
  return date;
}

// The message for an empty field, or for one out of form.
std::string EmptyMessage(std::string_view name, std::string_view hint) {
  return "The observation has no " + std::string(name) + ": type " + std::string(hint) + ".";
}
std::string UnreadableMessage(std::string_view name, std::string_view text, std::string_view takes) {
  return "The " + std::string(name) + " " + Quoted(text) + " is not " + std::string(takes) + ".";
}

// A degrees field (plain or sexagesimal) within [low, high].
std::optional<double> Degrees(std::string_view text, double low, double high) {
  const auto angle = ParseAngleText(text);
  if (!angle || angle->value < low || angle->value > high) return std::nullopt;
  return angle->value;
}

}  // namespace

std::optional<AngleText> ParseAngleText(std::string_view text) {
  text = Trimmed(text);
  if (text.find_first_of(": \t") == std::string_view::npos) {
    const auto value = ParseDecimal(text);
    if (!value) return std::nullopt;
    return AngleText{*value, false};
  }
  const std::vector<std::string_view> fields = Fields(text);
  if (fields.size() < 2 || fields.size() > 3) return std::nullopt;
  std::string_view first = fields[0];
  const bool negative = !first.empty() && first.front() == '-';
  if (!first.empty() && (first.front() == '-' || first.front() == '+')) first.remove_prefix(1);
  const auto whole = Unsigned(first, false);
  const auto minutes = Unsigned(fields[1], fields.size() == 2);
  const auto seconds = fields.size() == 3 ? Unsigned(fields[2], true) : std::optional<double>(0);
  if (!whole || !minutes || !seconds || *minutes >= 60 || *seconds >= 60) return std::nullopt;
  const double value = *whole + *minutes / 60 + *seconds / 3600;
  if (!std::isfinite(value)) return std::nullopt;
  return AngleText{negative ? -value : value, true};
}

Observation ObservationValues::ToObservation() const {
  Observation o;
  o.dateObs = date;
  o.exposureSeconds = exposureSeconds;
  o.raDegrees = raDegrees;
  o.decDegrees = decDegrees;
  o.longitudeDegrees = longitudeDegrees;
  o.latitudeDegrees = latitudeDegrees;
  o.heightMetres = heightMetres;
  return o;
}

R ReadObservation(const ObservationFields& fields) {
  R r;
  const std::string_view date = Trimmed(fields.date), exposure = Trimmed(fields.exposure);
  const std::string_view ra = Trimmed(fields.ra), dec = Trimmed(fields.dec);
  const std::string_view latitude = Trimmed(fields.latitude), longitude = Trimmed(fields.longitude);
  const std::string_view height = Trimmed(fields.height);

  if (date.empty())
    return R::Refused(ObservationError::EmptyField,
                      EmptyMessage("date", "the UTC start such as 2026-03-15T22:30:00"));
  r.date = IsoDate(date);
  if (r.date.empty())
    return R::Refused(ObservationError::BadDate,
                      UnreadableMessage("date", date, "a UTC date and time such as 2026-03-15T22:30:00"));

  if (!exposure.empty()) {
    const auto seconds = ParseDecimal(exposure);
    if (!seconds || *seconds < 0 || *seconds > kMaxExposure)
      return R::Refused(ObservationError::BadExposure,
                        UnreadableMessage("exposure", exposure, "a number of seconds from 0 to 1000000"));
    r.exposureSeconds = *seconds;
  }

  if (ra.empty())
    return R::Refused(ObservationError::EmptyField,
                      EmptyMessage("right ascension", "hours such as 05:35:17.3 or degrees such as 83.822"));
  const auto angle = ParseAngleText(ra);
  const double raLimit = angle && angle->sexagesimal ? 24 : 360;
  if (!angle || angle->value < 0 || angle->value >= raLimit)
    return R::Refused(
        ObservationError::BadRa,
        UnreadableMessage("right ascension", ra,
                          "hours from 0 to 24 such as 05:35:17.3 or degrees from 0 to 360 such as 83.822"));
  r.raDegrees = angle->sexagesimal ? angle->value * 15 : angle->value;

  struct Angle {
    std::string_view text, name, hint, takes;
    double low, high;
    ObservationError error;
    double* to;
  };
  for (const Angle& a : {
           Angle{dec, "declination", "degrees such as -05:23:28 or -5.391",
                 "degrees from -90 to 90 such as -05:23:28 or -5.391", -90, 90, ObservationError::BadDec,
                 &r.decDegrees},
           Angle{latitude, "latitude", "degrees north such as 52:12:30 or 52.208",
                 "degrees north from -90 to 90 such as 52:12:30 or 52.208", -90, 90,
                 ObservationError::BadLatitude, &r.latitudeDegrees},
           Angle{longitude, "longitude", "degrees east such as -04:28:51 or 0.119",
                 "degrees east from -180 to 360 such as -04:28:51 or 0.119", -180, 360,
                 ObservationError::BadLongitude, &r.longitudeDegrees},
       }) {
    if (a.text.empty()) return R::Refused(ObservationError::EmptyField, EmptyMessage(a.name, a.hint));
    const auto value = Degrees(a.text, a.low, a.high);
    if (!value) return R::Refused(a.error, UnreadableMessage(a.name, a.text, a.takes));
    *a.to = *value;
  }
  if (r.longitudeDegrees > 180) r.longitudeDegrees -= 360;

  if (height.empty())
    return R::Refused(ObservationError::EmptyField, EmptyMessage("height", "metres such as 120"));
  const auto metres = ParseDecimal(height);
  if (!metres || *metres < kLowestSite || *metres > kHighestSite)
    return R::Refused(ObservationError::BadHeight,
                      UnreadableMessage("height", height, "metres from -500 to 10000 such as 120"));
  r.heightMetres = *metres;
  return r;
}

}  // namespace lxr4
