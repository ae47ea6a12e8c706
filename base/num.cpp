#include "base/num.h"

#include <array>
#include <charconv>
#include <cmath>

namespace lxr4 {

namespace {
template <typename T>
std::string FixedShortest(T v) {
  if (v == 0) return "0";  // also folds -0
  // A whole value below the type's largest run of whole numbers reads back
  // only from all its digits: those of the integer.
  constexpr T kWholeBelow = sizeof(T) == sizeof(float) ? T{0x1p24} : T{0x1p53};
  if (std::fabs(v) < kWholeBelow && v == std::trunc(v)) return std::to_string(static_cast<long long>(v));
  std::array<char, 400> buf{};
  auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
  if (ec != std::errc{}) return "nan";
  return std::string(buf.data(), end);
}
}  // namespace

std::string ShortestText(float v) { return FixedShortest(v); }
std::string ShortestText(double v) { return FixedShortest(v); }

std::string Num::Text() const {
  switch (kind_) {
    case Kind::Unset:
      return "0";
    case Kind::Int16:
    case Kind::Int32:
      return std::to_string(static_cast<long long>(value_));
    case Kind::Single:
      return ShortestText(static_cast<float>(value_));
    case Kind::Double:
      return ShortestText(value_);
  }
  return "0";
}

}  // namespace lxr4
