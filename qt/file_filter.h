// Translation of the program's open-file filter text into the name filters of
// Qt's file dialog.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lxr4 {

// "All Files (*.*)|*.*|KM1 Files (*.KM1)|*.KM1" gives {"All Files (*)",
// "KM1 Files (*.KM1 *.km1)"}: one entry per description/pattern pair, the
// description's own parenthesis replaced by the patterns. "*.*" matches every
// file; a pattern also matches its lower- and upper-case spelling, because the
// camera's files come from systems whose names ignore case. Patterns within
// one entry are separated by ';'. A description without patterns gets "*".
// An empty filter gives one entry, "All Files (*)".
[[nodiscard]] std::vector<std::string> QtNameFilters(std::string_view filter);

// The file name suffix a save dialog adds for each entry of QtNameFilters: the
// extension of the entry's first pattern ("PDF (*.pdf)|*.pdf" gives {"pdf"}),
// empty for "*.*" or no pattern.
[[nodiscard]] std::vector<std::string> FilterSuffixes(std::string_view filter);

}  // namespace lxr4
