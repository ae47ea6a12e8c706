// Open-file filters as the program writes them, in Qt's form. (The load
// buttons' own filter is the window test of the dialog.)
#include "qt/file_filter.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

using Filters = std::vector<std::string>;

TEST(QtNameFilters, ToleratesOddFilterTexts) {
  const struct {
    const char* filter;
    Filters expected;
  } cases[] = {
      {"", {"All Files (*)"}},
      {"|", {"All Files (*)"}},
      {"Text|*.txt", {"Text (*.txt *.TXT)"}},
      {"Images (*.km1;*.km2)|*.km1;*.km2", {"Images (*.km1 *.KM1 *.km2 *.KM2)"}},
      {"No patterns", {"No patterns (*)"}},
      {"Odd|*.x|Trailing", {"Odd (*.x *.X)", "Trailing (*)"}},
      {"|*.dat", {"Files (*.dat *.DAT)"}},
      {"Mixed (*.Km1)|*.Km1", {"Mixed (*.Km1 *.km1 *.KM1)"}},
      {"Every (*.*)|*.*;*.km1", {"Every (* *.km1 *.KM1)"}},
  };
  for (const auto& c : cases) EXPECT_EQ(QtNameFilters(c.filter), c.expected) << c.filter;
}

// The save dialog adds the chosen type's extension to a name typed without one.
TEST(FilterSuffixes, TheExtensionOfEachTypesFirstPattern) {
  const struct {
    const char* filter;
    Filters expected;
  } cases[] = {
      {"FITS spectrum, linear wavelength axis (*.fits)|*.fits|FITS table (*.fits)|*.fits|CSV (*.csv)|*.csv",
       {"fits", "fits", "csv"}},
      {"All Files (*.*)|*.*|Images|*.km1;*.km2", {"", "km1"}},
      {"", {""}},
      {"|", {""}},
      {"No patterns|", {""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(FilterSuffixes(c.filter), c.expected);
    EXPECT_EQ(FilterSuffixes(c.filter).size(), QtNameFilters(c.filter).size());
  }
}

}  // namespace
}  // namespace lxr4
