// The fields of the FITS import settings dialog (File > FITS Import...), as
// the user leaves them: choices, and texts the program checks. The same words
// are the answer line of session scripts, the dialog's transcript line and the
// setting kept between runs: "AXIS WINDOWSTART|- PIXELSIZE [frame|image]", e.g.
// "auto - 9 frame" or "columns 1025 6.5 image".
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lxr4 {

struct FitsImportFields {
  enum class Axis : std::uint8_t { Auto, Rows, Columns };
  Axis axis = Axis::Auto;        // the dispersion axis: automatic, along rows, along columns
  bool fullResolution = false;   // a 768-pixel window from windowStart, else the whole length binned
  std::string windowStart = "1";  // the window's first frame pixel, from 1
  std::string pixelSize = "9";    // micrometres per frame pixel when the header gives none
  bool frameUnits = true;         // exported values in the frame's own units, else the image's
  friend bool operator==(const FitsImportFields&, const FitsImportFields&) = default;
};

[[nodiscard]] std::string FitsImportWords(const FitsImportFields& fields);
// nullopt when the words are not 3 or 4 of that form (the texts are taken as they are).
[[nodiscard]] std::optional<FitsImportFields> ParseFitsImportWords(std::span<const std::string> words);
// The words of one line, split at blanks.
[[nodiscard]] std::optional<FitsImportFields> ParseFitsImportLine(std::string_view line);

}  // namespace lxr4
