// The lamps' line lists built into the program: the files of data/line_lists
// (air wavelengths in Angstroms, from the NIST Atomic Spectra Database),
// compiled in, so that the program needs no file at run time. Pure code.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "base/calibration_values.h"

namespace lxr4 {

// The gases a lamp may hold, in the order the program offers them.
inline constexpr std::array<std::string_view, 9> kLampGases{"He", "Ne", "Ar", "Hg", "Kr",
                                                            "Xe", "Cu", "Cd", "Zn"};

// The text of a gas's list file as built in ("Ne" -> data/line_lists/Ne.txt);
// empty for a name not in kLampGases.
[[nodiscard]] std::string_view LampListText(std::string_view gas);

// The built-in list of a gas, ascending, labelled "Ne I", "Ar II", ...; empty
// for a name not in kLampGases.
[[nodiscard]] std::vector<ListLine> LampLines(std::string_view gas);

// The lines of several lists as one: ascending, a wavelength named twice kept
// once with the label of the first list that names it; converted from air to
// vacuum wavelengths (AirToVacuum) when `vacuum` is set.
[[nodiscard]] std::vector<ListLine> MergeLampLines(const std::vector<std::vector<ListLine>>& lists,
                                                   bool vacuum);

}  // namespace lxr4
