// lxr4-script's command line before any script is read: --help answers at
// once, and no script on a terminal shows the usage instead of waiting.
#include "script/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace lxr4 {
namespace {

struct Answer {
  std::optional<int> status;
  std::string out, err;
};

Answer AnswerOf(std::vector<const char*> args, bool terminal) {
  std::vector<char*> argv;
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  std::ostringstream out, err;
  const std::optional<int> status = AnswerWithoutScript(argv, terminal, out, err);
  return {status, out.str(), err.str()};
}

TEST(ScriptCommandLine, HelpAndATerminalWithoutScriptShowTheUsage) {
  for (const char* help : {"--help", "-h"}) {
    const Answer a = AnswerOf({"--window", help}, false);
    EXPECT_EQ(a.status, 0);
    EXPECT_TRUE(a.out.starts_with("usage: lxr4-script [--window] [SCRIPT|-]\n")) << a.out;
    EXPECT_EQ(a.err, "");
  }
  for (const auto& args : {std::vector<const char*>{}, std::vector<const char*>{"--window"}}) {
    const Answer a = AnswerOf(args, true);
    EXPECT_EQ(a.status, 2);
    EXPECT_TRUE(a.err.starts_with("usage: lxr4-script")) << a.err;
  }
}

TEST(ScriptCommandLine, AScriptOrAPipeIsLeftToTheRunner) {
  EXPECT_EQ(AnswerOf({}, false).status, std::nullopt);    // a script piped in
  EXPECT_EQ(AnswerOf({"-"}, true).status, std::nullopt);  // "-" reads the terminal all the same
  EXPECT_EQ(AnswerOf({"run.txt"}, true).status, std::nullopt);
  EXPECT_EQ(AnswerOf({"--window", "run.txt"}, true).status, std::nullopt);
}

}  // namespace
}  // namespace lxr4
