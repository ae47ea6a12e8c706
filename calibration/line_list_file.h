// Line lists: the program's built-in list and plain text files of lines, one
// line per text line: a wavelength in Angstroms, then an optional label
// ("5460.735 Hg I"); "#" starts a comment, blank lines are skipped. Works on
// the file's text only; reading the file is the platform's job.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/calibration_values.h"
#include "base/result.h"

namespace lxr4 {

// The built-in list (entries 0..53 of the spectral-line list) in list order,
// labelled with the text in its parentheses: "Hg", "Ne", "O III", ...
[[nodiscard]] std::vector<ListLine> BuiltInLineList();

enum class LineListError : std::uint8_t {
  None,
  NoLines,  // not one valid line in the text
};

struct LineListRead {
  std::vector<ListLine> lines;        // the valid lines, in file order
  std::vector<std::string> problems;  // "Line 7: ..." for each text line left out
};
using LineListResult = Result<LineListError, LineListRead>;

// A line's label as the program keeps it: without blanks at either end, each
// control character (a tab, a carriage return) a blank, so that it is one
// line of a calibration file and reads back the same.
[[nodiscard]] std::string PlainLabel(std::string_view text);

// Parses a line-list file. A text line whose first field is not a wavelength
// (kMinLineWavelength to kMaxLineWavelength), or names a wavelength listed
// above it, is left out and reported, never fatal: the first of a wavelength
// named twice stays, with its label. Only a text with no valid line at all is refused.
[[nodiscard]] LineListResult ParseLineList(std::string_view text);

}  // namespace lxr4
