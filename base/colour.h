// Colours as the program paints them: 8-bit red, green and blue.
#pragma once

#include <cstdint>

namespace lxr4 {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kGreen{0, 255, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kWindowGrey{192, 192, 192};

}  // namespace lxr4
