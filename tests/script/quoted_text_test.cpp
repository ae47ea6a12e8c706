// Quoted texts of the transcript: the escapes that the golden cases' texts do
// not reach. (The golden transcripts pin every other kind of line.)
#include "base/quoted_text.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(Quoted, EscapesQuotesBackslashesAndLineBreaks) {
  const struct {
    std::string_view text, quoted;
  } cases[] = {
      {"", R"("")"},
      {"a\tb\"c\\d", R"("a\tb\"c\\d")"},
      {"C:\\data\\star.km1", R"("C:\\data\\star.km1")"},
  };
  for (const auto& c : cases) EXPECT_EQ(Quoted(c.text), c.quoted) << c.text;
}

}  // namespace
}  // namespace lxr4
