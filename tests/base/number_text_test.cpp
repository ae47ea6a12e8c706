#include "base/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <cmath>
#include <limits>

namespace lxr4 {
namespace {

struct PatternCase {
  double value;
  std::string pattern;
  std::string text;
};

TEST(FormatNumber, FollowsPatternDigitsAndRounding) {
  // (The captions of the golden calib-* and cursor-* cases show the ordinary
  // figures: "53.711", "09.7553", "5886.30", "581.1685", "Pixel 300.00".)
  const PatternCase cases[] = {
      {0.001, "##0.00", "0.00"},         {0, "######0", "0"},          {0.5, "0.0000", "0.5000"},
      {-12.345, "##0.00", "-12.35"},     {-0.001, "##0.00", "0.00"},   {999.996, "##0.00", "1000.00"},
      {12345.6, "##0", "12346"},         {1310720, "######0", "1310720"},
      // Exact halves go away from zero; 381.455 is stored just below the half, so it rounds down.
      {0.125, "0.00", "0.13"},           {2.5, "##0", "3"},            {-2.5, "##0", "-3"},
      {381.455, "##0.00", "381.45"},
  };
  for (const PatternCase& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.pattern), c.text) << c.pattern + " " + std::to_string(c.value);
}

// No caption can show these (values are checked where they enter), but every
// input still has a defined text.
TEST(FormatNumber, EveryDoubleHasADefinedText) {
  using L = std::numeric_limits<double>;
  const PatternCase cases[] = {
      {L::quiet_NaN(), "###0.00", "NaN"},
      {-L::quiet_NaN(), "##0", "NaN"},
      {L::infinity(), "###0.00", "Inf"},
      {-L::infinity(), "######0", "-Inf"},
      {std::ldexp(1.0, 100), "##0", "1267650600228229401496703205376"},
      {L::denorm_min(), "0.00", "0.00"},
      {-1e-300, "###0.00", "0.00"},
      {0.5, "0." + std::string(100, '0'), "0.5" + std::string(99, '0')},
  };
  for (const PatternCase& c : cases)
    EXPECT_EQ(FormatNumber(c.value, c.pattern), c.text) << c.text.substr(0, 20);
  const std::string largest = FormatNumber(-L::max(), "###0.00");  // all 309 whole digits
  EXPECT_EQ(largest.size(), 1 + 309 + 3u);
  EXPECT_TRUE(largest.starts_with("-17976931348623157"));
  EXPECT_TRUE(largest.ends_with(".00"));
}

TEST(NumberText, LeadingBlankForZeroAndAbove) {
  EXPECT_EQ(NumberText(0), " 0");
  EXPECT_EQ(NumberText(20), " 20");
  EXPECT_EQ(NumberText(-3), "-3");
}

TEST(ParseDecimal, AcceptsNumbersWithBlanksAndRefusesWhatIsNotANumber) {
  EXPECT_EQ(ParseDecimal(" 100"), 100.0);
  EXPECT_EQ(ParseDecimal("  -12.5  "), -12.5);
  EXPECT_EQ(ParseDecimal("+7"), 7.0);
  EXPECT_EQ(ParseDecimal("1e3"), 1000.0);
  EXPECT_EQ(ParseDecimal("4.9e-324"), std::numeric_limits<double>::denorm_min());
  for (const char* text :
       {"", "   ", "abc", "12abc", "1,5", "--1", "nan", "-nan", "inf", "-inf", "1e999", "-1e999", "1e-400"})
    EXPECT_FALSE(ParseDecimal(text).has_value()) << text;
}

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// The window toolkit switches the C library to the user's locale at start-up;
// number texts must not follow it.
TEST(NumberTexts, DoNotDependOnTheLocale) {
  const std::string savedC = std::setlocale(LC_ALL, nullptr);
  const std::locale savedCpp;
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // used where installed
  std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  EXPECT_EQ(FormatNumber(381.456, "##0.00"), "381.46");
  EXPECT_EQ(ParseDecimal("12.5"), 12.5);
  EXPECT_FALSE(ParseDecimal("12,5").has_value());
  std::locale::global(savedCpp);
  std::setlocale(LC_ALL, savedC.c_str());
}

// Halves to even (also the header values of the camera image reader test).
TEST(ToInteger, ChecksTheRangeAfterRounding) {
  EXPECT_EQ(ToInt16(32767.4), std::int16_t{32767});
  EXPECT_FALSE(ToInt16(32767.5).has_value());  // rounds to 32768
  EXPECT_EQ(ToInt16(-32768.5), std::int16_t{-32768});  // even neighbour
  EXPECT_FALSE(ToInt16(-32769).has_value());
  EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
  EXPECT_FALSE(ToInt32(2147483648.0).has_value());
  EXPECT_FALSE(ToInt16(std::numeric_limits<double>::quiet_NaN()).has_value());
}

}  // namespace
}  // namespace lxr4
