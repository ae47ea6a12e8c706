// The transcript of a session: one line for each thing the program does through
// the platform, and the answers to the script's questions, in order. A run of
// single points painted on the main window becomes one line, `points Spectra
// COUNT`, written when the run ends.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "state/window.h"

namespace lxr4 {

class Transcript {
 public:
  explicit Transcript(std::ostream& out) : out_(out) {}

  // Writes `line` (without its line end), after any pending run of points.
  void Line(std::string_view line);
  // Counts more points of the current run.
  void Points(std::size_t count) { points_ += static_cast<std::int64_t>(count); }
  // Writes a pending run of points and flushes the stream.
  void Finish();

 private:
  void EndPoints();

  std::ostream& out_;
  std::int64_t points_ = 0;
};

// "R G B", each 0 to 255.
std::string ColourText(Rgb colour);

}  // namespace lxr4
