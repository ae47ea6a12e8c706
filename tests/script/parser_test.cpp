// Script lines: words, quoting and escapes, and the numbers a line may carry.
#include <gtest/gtest.h>

#include "script/script_error.h"
#include "script/script_parser.h"

namespace lxr4 {
namespace {

using Words = std::vector<std::string>;

TEST(SplitWords, BlanksQuotesAndEscapes) {
  const struct {
    std::string_view line;
    Words words;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"# a comment", {}},
      {"  \t# indented comment", {}},
      {"click cmdload", {"click", "cmdload"}},
      {"\tselect  cbobox\t\t2  ", {"select", "cbobox", "2"}},
      {"open \"my files/a b.km1\"", {"open", "my files/a b.km1"}},
      {"input \"\"", {"input", ""}},
      {R"(input "say \"hi\"\\ \r\n\t")", {"input", "say \"hi\"\\ \r\n\t"}},
      {"open a#b", {"open", "a#b"}},
      {"\"click\" \"cmdexit\"", {"click", "cmdexit"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(SplitWords(c.line), c.words);
  }
}

TEST(SplitWords, MalformedQuotingIsAScriptError) {
  for (const std::string_view line :
       {"input \"open", "input \"ends in escape\\", "input \"\\q\"", "input \"a\"b", "input a\"b\""}) {
    SCOPED_TRACE(line);
    EXPECT_THROW((void)SplitWords(line), ScriptError);
  }
}

TEST(ParseWhole, AcceptsOnlyWholeDecimalNumbers) {
  const struct {
    std::string_view word;
    std::optional<long long> value;
  } cases[] = {
      {"0", 0},    {"381", 381}, {"-5", -5},  {"+7", 7},   {"", {}},   {"+", {}},
      {"++1", {}}, {"1.0", {}},  {"12x", {}}, {"x12", {}}, {" 1", {}}, {"99999999999999999999", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(ParseWhole(c.word), c.value);
  }
}

TEST(ParseReal, AcceptsFiniteDecimalNumbers) {
  const struct {
    std::string_view word;
    std::optional<double> value;
  } cases[] = {
      {"1000", 1000.0}, {"750.5", 750.5}, {"-2e3", -2000.0}, {"+1.5", 1.5}, {"", {}},
      {"inf", {}},      {"nan", {}},      {"1e999", {}},     {"1,5", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(ParseReal(c.word), c.value);
  }
}

}  // namespace
}  // namespace lxr4
