// The Observation dialog's fields as typed: when and where a spectrum was
// taken, for the barycentric correction of its velocities. The program fills
// them from the frame's header where the user typed nothing.
#pragma once

#include <string>

namespace lxr4 {

struct ObservationFields {
  std::string date;       // UTC start, "2026-03-15T22:30:00"
  std::string exposure;   // seconds
  std::string ra, dec;    // the target: "05:35:17.3" hours or degrees, "-05:23:28" or degrees
  std::string latitude, longitude, height;  // the site: degrees (east positive), metres

  friend bool operator==(const ObservationFields&, const ObservationFields&) = default;
};

}  // namespace lxr4
