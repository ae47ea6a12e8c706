// The lamp frame a calibration was made on: where its pixels lie on the
// detector, the file, and the arc spectrum itself, so that the calibration
// can be checked against another frame and moved onto a new lamp.
#pragma once

#include <string>
#include <vector>

namespace lxr4 {

struct LampFrame {
  std::string file;         // the lamp image's file name
  int length = 0;           // detector pixels along the dispersion
  int first = 1, bin = 1;   // the first pixel read out and the binning
  std::string axis;         // "rows", "columns", or "" for a camera image
  std::vector<double> arc;  // the lamp spectrum at detector pixels 1..length

  friend bool operator==(const LampFrame&, const LampFrame&) = default;
};

}  // namespace lxr4
