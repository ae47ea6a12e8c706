// Num: a number as the program passes it, remembering which type it holds
// (16- or 32-bit integer, single or double), or that it is still unset.
// Fields whose type changes during a run (a focal length that starts as the
// integer 50 and becomes a double once solved) and coordinates handed to the
// window both use it, so that every text of a number follows its own type.
#pragma once

#include <cstdint>
#include <string>

namespace lxr4 {

class Num {
 public:
  enum class Kind : std::uint8_t { Unset, Int16, Int32, Single, Double };

  constexpr Num() = default;
  constexpr Num(std::int16_t v) : kind_(Kind::Int16), value_(v) {}
  constexpr Num(std::int32_t v) : kind_(Kind::Int32), value_(v) {}
  constexpr Num(float v) : kind_(Kind::Single), value_(static_cast<double>(v)) {}
  constexpr Num(double v) : kind_(Kind::Double), value_(v) {}

  [[nodiscard]] constexpr Kind kind() const { return kind_; }
  [[nodiscard]] constexpr bool IsSet() const { return kind_ != Kind::Unset; }
  // The held value (0 when unset); exact for every held type.
  [[nodiscard]] constexpr double AsDouble() const { return value_; }
  [[nodiscard]] constexpr float AsSingle() const { return static_cast<float>(value_); }

  // Plain decimal text with the fewest digits that read back to the same
  // value of the held type ("88.5", "109.99999", "50"); "0" when unset.
  [[nodiscard]] std::string Text() const;

  friend constexpr bool operator==(const Num&, const Num&) = default;

 private:
  Kind kind_ = Kind::Unset;
  double value_ = 0.0;
};

// Shortest plain decimal texts of single and double values (no exponent).
std::string ShortestText(float v);
std::string ShortestText(double v);

}  // namespace lxr4
