// Number texts and conversions of the program, independent of the user's
// locale: the format patterns ("##0.00", "#00.0000", ...), the plain text with
// its leading blank, decimal parsing, and rounding to integers halves-to-even.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lxr4 {

// Plain text of a whole number: one leading blank when it is 0 or more, its
// minus sign otherwise (" 5", "-3").
std::string NumberText(long long value);

// Formats `value` with a pattern of "#" and "0" digits and an optional "."
// followed by "0"s: a "0" digit is always shown, a "#" only when significant;
// the value is rounded to the pattern's decimals, exact halves away from zero.
// "##0.00" gives "381.46" for 381.456 and "0.00" for 0.001; "#00.0000" gives
// "09.7553" for 9.755313. Any finite value gets all its whole digits (1e300 has
// 301); NaN gives "NaN" and the infinities "Inf" and "-Inf".
std::string FormatNumber(double value, std::string_view pattern);

// A decimal number with optional surrounding blanks ("  12.5 ", "-3", "1e3");
// nullopt for anything else, including an empty text.
std::optional<double> ParseDecimal(std::string_view text);

// Nearest whole number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
double RoundHalfEven(double value);

// The nearest whole number (halves to even) when it fits the type; nullopt otherwise.
std::optional<std::int16_t> ToInt16(double value);
std::optional<std::int32_t> ToInt32(double value);

}  // namespace lxr4
