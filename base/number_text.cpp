#include "base/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace lxr4 {

std::string NumberText(long long value) {
  std::string digits = std::to_string(value);
  return value >= 0 ? " " + digits : digits;
}

std::string FormatNumber(double value, std::string_view pattern) {
  const std::size_t point = pattern.find('.');
  const std::string_view intPart = pattern.substr(0, point);
  const int decimals = point == std::string_view::npos ? 0 : static_cast<int>(pattern.size() - point - 1);
  int minIntDigits = 0;
  for (char c : intPart)
    if (c == '0') ++minIntDigits;

  const bool negative = std::signbit(value);
  // Values checked where they enter never get here; a text for them all the same.
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return negative ? "-Inf" : "Inf";
  // The pattern's digits, rounded so that an exact half goes away from zero.
  std::string digits;
  char next = '0';  // the first digit left off
  if (std::fabs(value) < 0x1p53 && value == std::trunc(value)) {
    // Whole values (pixel numbers, counts: most of them) need no expansion.
    digits = std::to_string(static_cast<long long>(std::fabs(value))) +
             std::string(static_cast<std::size_t>(decimals), '0');
  } else {
    // The exact decimal expansion: a double below 2^e has at most 53 - e
    // fractional digits; at least one digit beyond the pattern's is always
    // there. to_chars ignores the locale.
    int exponent = 0;
    std::frexp(value, &exponent);
    const int precision = std::max(53 - exponent, decimals + 1);
    std::string text(static_cast<std::size_t>(precision) + 320, '\0');
    auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), std::fabs(value),
                                   std::chars_format::fixed, precision);
    if (ec != std::errc{}) return "0";
    text.resize(static_cast<std::size_t>(end - text.data()));
    const std::size_t dot = text.find('.');
    digits = text.substr(0, dot) + text.substr(dot + 1, static_cast<std::size_t>(decimals));
    next = text[dot + 1 + static_cast<std::size_t>(decimals)];
  }
  if (next >= '5') {
    std::size_t i = digits.size();
    while (i > 0) {
      --i;
      if (digits[i] == '9') {
        digits[i] = '0';
      } else {
        ++digits[i];
        break;
      }
      if (i == 0) digits.insert(digits.begin(), '1');
    }
  }
  // The whole part without its leading zeros, padded to the pattern's least
  // number of digits, then the fraction; no sign on a text of zeros only.
  const std::size_t wholeEnd = digits.size() - static_cast<std::size_t>(decimals);
  const std::size_t wholeStart = std::min(digits.find_first_not_of('0'), wholeEnd);
  const std::size_t pad =
      static_cast<std::size_t>(std::max(0, minIntDigits - static_cast<int>(wholeEnd - wholeStart)));
  std::string result;
  result.reserve(2 + pad + digits.size());
  if (negative && digits.find_first_not_of('0') != std::string::npos) result += '-';
  result.append(pad, '0');
  result.append(digits, wholeStart, wholeEnd - wholeStart);
  if (decimals > 0) {
    result += '.';
    result.append(digits, wholeEnd);
  }
  return result;
}

std::optional<double> ParseDecimal(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(" \t");
  text = text.substr(first, last - first + 1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

double RoundHalfEven(double value) {
  // nearbyint follows the rounding mode, which the program never changes from
  // round-to-nearest-even.
  return std::nearbyint(value);
}

namespace {
template <typename T>
std::optional<T> ToInteger(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double r = RoundHalfEven(value);
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max()))
    return std::nullopt;
  return static_cast<T>(r);
}
}  // namespace

std::optional<std::int16_t> ToInt16(double value) { return ToInteger<std::int16_t>(value); }
std::optional<std::int32_t> ToInt32(double value) { return ToInteger<std::int32_t>(value); }

}  // namespace lxr4
