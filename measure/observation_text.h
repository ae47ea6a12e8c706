// The Observation's texts read as numbers for the barycentric correction
// (measure/barycentric.h): the seven fields of ObservationFields, as the user
// typed them or as a frame's header wrote them, checked one by one. Pure code.
//
// What each field takes (numbers with a '.' whatever the locale, blanks
// around a text ignored):
//   date       UTC start: "2026-03-15", "2026-03-15T22:30:00" or
//              "2026-03-15 22:30:00", seconds with any decimals
//   exposure   seconds, 0 up to 1000000; an empty field is 0 (a date at
//              mid-exposure needs none)
//   ra         hours "05:35:17.3" or "05 35 17.3" (0 to 24), or a plain
//              number of degrees "83.822" (0 to 360)
//   dec        degrees "-05:23:28", "-05 23 28" or "-5.391", -90 to 90
//   latitude   degrees as dec, -90 to 90
//   longitude  degrees as dec, east positive, -180 to 360 (taken back to
//              -180..180)
//   height     metres above the WGS84 ellipsoid, -500 to 10000
// A sexagesimal text has two or three fields, separated by ':' or blanks: a
// whole first field with an optional sign (which holds for the whole value,
// "-00:30:00" is -0.5), whole minutes below 60 before seconds below 60; the
// last field may have decimals.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/observation_fields.h"
#include "base/result.h"
#include "measure/barycentric.h"

namespace lxr4 {

enum class ObservationError {
  None,
  EmptyField,  // a field other than the exposure is empty
  BadDate,
  BadExposure,
  BadRa,
  BadDec,
  BadLatitude,
  BadLongitude,
  BadHeight,
};

// The fields as numbers; the date as the Observation takes it ("T" between
// the date and the time).
struct ObservationValues {
  std::string date;
  double exposureSeconds = 0;
  double raDegrees = 0, decDegrees = 0;
  double latitudeDegrees = 0, longitudeDegrees = 0, heightMetres = 0;

  // The Observation for BarycentricVelocity: it views `date`, so it is good
  // while these values live unchanged.
  [[nodiscard]] Observation ToObservation() const;
};

// The values of all seven fields, or the first field in the order above that
// is empty or out of form, with a message that names it (and, when it is out
// of form, says what it takes).
[[nodiscard]] Result<ObservationError, ObservationValues> ReadObservation(const ObservationFields& fields);

// A sexagesimal text ("-05:23:28", "05 35 17.3", "12:30.5") as its first
// field's unit, or a plain decimal number as itself; nullopt for anything
// else. Used by ReadObservation; exposed for its tests.
struct AngleText {
  double value = 0;
  bool sexagesimal = false;
};
[[nodiscard]] std::optional<AngleText> ParseAngleText(std::string_view text);

}  // namespace lxr4
