// The rest wavelengths offered for radial velocities: strong lines of stars,
// nebulae and the night sky (NIST Atomic Spectra Database, air), and the
// reading of a rest wavelength typed or chosen. Pure code.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lxr4 {

struct RestLine {
  double air;  // Angstrom, in standard air
  std::string_view name;
};

[[nodiscard]] std::span<const RestLine> RestLines();

// The entries as the Rest box offers them, "6562.80 H-alpha", in vacuum when asked.
[[nodiscard]] std::vector<std::string> RestChoices(bool vacuum);

// The rest wavelength (Angstrom, in the medium asked) a text names: an entry's
// name, alone or after its number ("H-alpha", "6562.80 H-alpha": the line's
// own wavelength in that medium, so a change of medium follows the line), or
// any number above zero ("6562.8": as typed). Names are matched without
// regard to case, blanks or hyphens. nullopt for anything else.
[[nodiscard]] std::optional<double> ReadRestWavelength(std::string_view text, bool vacuum);

}  // namespace lxr4
