// `state` questions that have no answer. (The golden cases, startup above all,
// ask every field and print each in its own type.)
#include "script/state_query.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(AskState, BadQuestions) {
  const AppState s;
  const struct {
    std::string_view field;
    std::vector<long long> numbers;
  } cases[] = {
      {"NoSuchField", {}},
      {"FocalLength", {1}},
      {"CurrentSpectrum", {}},
      {"CurrentSpectrum", {0, 5}},
      {"CurrentSpectrum", {5, 4}},
      {"CurrentSpectrum", {1, 769}},
      {"CurrentSpectrum", {1, 2, 3}},
      {"ObjectPixels", {0, 1, 1}},
      {"ObjectPixels", {21, 1, 1}},
      {"CalPixels", {1, 1, 769}},
      {"CalPixels", {1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    const StateAnswer a = AskState(s, c.field, c.numbers);
    EXPECT_FALSE(a.error.empty());
    EXPECT_TRUE(a.line.empty());
  }
}

}  // namespace
}  // namespace lxr4
