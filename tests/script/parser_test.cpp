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
  for (const auto& c : cases) EXPECT_EQ(SplitWords(c.line), c.words) << c.line;
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
  for (const auto& c : cases) EXPECT_EQ(ParseWhole(c.word), c.value) << c.word;
}

TEST(ParseReal, AcceptsFiniteDecimalNumbers) {
  const struct {
    std::string_view word;
    std::optional<double> value;
  } cases[] = {
      {"1000", 1000.0}, {"750.5", 750.5}, {"-2e3", -2000.0}, {"+1.5", 1.5}, {"", {}},
      {"inf", {}},      {"nan", {}},      {"1e999", {}},     {"1,5", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseReal(c.word), c.value) << c.word;
}

// The faults of the Spectrum view lines and save-view, each with its message.
TEST(ParseViewLine, RefusesWrongWordCountsBadNumbersAndUnknownWords) {
  const struct {
    std::string line, error;
  } cases[] = {
      {"view-range 4000", "expected: view-range FROM TO"},
      {"view-reset now", "expected: view-reset"},
      {"view-click 5000 6000", "expected: view-click X"},
      {"view-click 5,5", "bad number \"5,5\""},
      {"view-units Angstrom", "expected angstrom, nm or pixel, not \"Angstrom\""},
      {"view-show object", "expected: view-show object|lamp|scale on|off"},
      {"view-show grid on", "expected object, lamp or scale, not \"grid\""},
      {"view-show lamp yes", "expected on or off, not \"yes\""},
      {"view-wheel 5000 1.5", "bad number \"1.5\""},
      {"view-wheel 5000 0", "wheel steps must not be 0"},
      {"view-wheel 5000 101", "wheel steps 101 is not from -100 to 100"},
      {"view-wheel 5000 -101", "wheel steps -101 is not from -100 to 100"},
      {"view-box 5000 six", "bad number \"six\""},
      {"view-key up", "expected left, right, in, out or home, not \"up\""},
      {"save-view v.png 199 480", "width 199 is not from 200 to 4000"},
      {"save-view v.png 800 4001", "height 4001 is not from 200 to 4000"},
      {"save-view v.png 800", "expected: save-view PATH WIDTH HEIGHT"},
      {"measure 6550 6575 6500", "expected: measure XMIN XMAX [C1MIN C1MAX C2MIN C2MAX]"},
      {"measure 6550 x", "bad number \"x\""},
      {"view-drag pan", "expected zoom, measure or continuum, not \"pan\""},
      {"view-profile moffat", "expected gaussian, lorentzian or voigt, not \"moffat\""},
      {"view-medium water", "expected air or vacuum, not \"water\""},
      {"view-rest", "expected: view-rest TEXT"},
      {"view-normalise yes", "expected on or off, not \"yes\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const Words words = SplitWords(c.line);
    try {
      if (words[0] == "save-view")
        (void)ParseSaveView(words);
      else
        (void)ParseViewLine(words);
      ADD_FAILURE() << "no fault";
    } catch (const ScriptError& e) {
      EXPECT_EQ(std::string(e.what()), c.error);
    }
  }
}

TEST(ParseViewLine, TakesTypedTextsAsTheyAreAndTheLeastAndMostSizes) {
  const auto range = ParseViewLine(SplitWords("view-range \" 4000\" abc"));
  ASSERT_EQ(range.size(), 1u);
  EXPECT_EQ(range[0].fromText, " 4000");
  EXPECT_EQ(range[0].toText, "abc");
  const ViewSave save = ParseSaveView(SplitWords("save-view v.png 200 4000"));
  EXPECT_EQ(save.width, 200);
  EXPECT_EQ(save.height, 4000);
  EXPECT_TRUE(ParseViewLine(SplitWords("view-spectrum")).empty()) << "left to the runner: unknown command";
}

// A measurement is the user's steps: clear the marks, mark the two continuum
// ranges, choose Measure, drag over the line; a zoom box chooses Zoom first.
TEST(ParseViewLine, MeasureAndBoxAreTheUsersSteps) {
  using K = ViewAction::Kind;
  const auto kinds = [](const std::vector<ViewAction>& steps) {
    std::vector<K> out;
    for (const ViewAction& a : steps) out.push_back(a.kind);
    return out;
  };
  const auto plain = ParseViewLine(SplitWords("measure 6575 6550"));
  EXPECT_EQ(kinds(plain), (std::vector<K>{K::ClearContinuum, K::Drag, K::Box}));
  EXPECT_EQ(plain[1].drag, DragMode::Measure);
  EXPECT_EQ(plain[2].value, 6575);
  const auto marked = ParseViewLine(SplitWords("measure 6550 6575 6500 6520 6600 6620"));
  EXPECT_EQ(kinds(marked), (std::vector<K>{K::ClearContinuum, K::Drag, K::Box, K::Box, K::Drag, K::Box}));
  EXPECT_EQ(marked[1].drag, DragMode::Continuum);
  EXPECT_EQ(marked[3].value2, 6620);
  const auto box = ParseViewLine(SplitWords("view-box 5000 6000"));
  EXPECT_EQ(kinds(box), (std::vector<K>{K::Drag, K::Box}));
  EXPECT_EQ(box[0].drag, DragMode::Zoom);
  EXPECT_EQ(ParseViewLine(SplitWords("view-rest \"6562.80 H-alpha\""))[0].text, "6562.80 H-alpha");
}

}  // namespace
}  // namespace lxr4
