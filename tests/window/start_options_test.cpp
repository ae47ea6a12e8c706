// lxr4's command line, read before the window system starts.
#include "qt/start_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace lxr4 {
namespace {

using A = StartOptions::Action;

StartOptions Parse(std::vector<const char*> args) {
  std::vector<char*> argv;
  for (const char* a : args) argv.push_back(const_cast<char*>(a));
  return ParseStartOptions(argv);
}

TEST(StartOptions, FilesForBothSlots) {
  const StartOptions both = Parse({"star.km1", "--calibration", "lamp.km1"});
  EXPECT_EQ(both.action, A::Run);
  EXPECT_EQ(both.object, "star.km1");
  EXPECT_EQ(both.calibration, "lamp.km1");
  EXPECT_EQ(Parse({"--calibration=lamp.km1"}).calibration, "lamp.km1");
  EXPECT_EQ(Parse({"--", "--odd-name.km1"}).object, "--odd-name.km1");
  EXPECT_EQ(Parse({"-"}).object, "-");
  const StartOptions none = Parse({});
  EXPECT_EQ(none.action, A::Run);
  EXPECT_TRUE(none.object.empty() && none.calibration.empty());
}

TEST(StartOptions, HelpAndVersionWinAndMistakesAreRefused) {
  EXPECT_EQ(Parse({"star.km1", "--help"}).action, A::Help);
  EXPECT_EQ(Parse({"-h"}).action, A::Help);
  EXPECT_EQ(Parse({"--version", "--bogus"}).action, A::Version);
  for (const auto& args : {std::vector<const char*>{"--bogus"},
                           {"--calibration"},
                           {"--calibration="},
                           {"a.km1", "b.km1"},
                           {"--calibration", "a", "--calibration", "b"},
                           {""}}) {
    const StartOptions refused = Parse(args);
    EXPECT_EQ(refused.action, A::Refuse) << args.size();
    EXPECT_FALSE(refused.error.empty());
  }
  EXPECT_TRUE(StartUsage().starts_with("usage: lxr4 [--calibration LAMP] [IMAGE]\n"));
  EXPECT_TRUE(VersionText().starts_with("lxr4 1.") && VersionText().ends_with("\n")) << VersionText();
}

TEST(StartOptions, ADisplayIsAnyOfTheThreeVariablesSetAndNotEmpty) {
  EXPECT_FALSE(HasDisplay(nullptr, nullptr, nullptr));
  EXPECT_FALSE(HasDisplay("", "", ""));
  EXPECT_TRUE(HasDisplay("offscreen", nullptr, nullptr));
  EXPECT_TRUE(HasDisplay(nullptr, ":0", nullptr));
  EXPECT_TRUE(HasDisplay(nullptr, nullptr, "wayland-0"));
}

}  // namespace
}  // namespace lxr4
