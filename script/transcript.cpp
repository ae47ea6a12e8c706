#include "script/transcript.h"

namespace lxr4 {

void Transcript::EndPoints() {
  if (points_ == 0) return;
  out_ << "points Spectra " << points_ << '\n';
  points_ = 0;
}

void Transcript::Line(std::string_view line) {
  EndPoints();
  out_ << line << '\n';
}

void Transcript::Finish() {
  EndPoints();
  out_.flush();
}

std::string ColourText(Rgb colour) {
  return std::to_string(colour.r) + ' ' + std::to_string(colour.g) + ' ' + std::to_string(colour.b);
}

}  // namespace lxr4
