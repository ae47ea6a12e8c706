#include "reduce/section.h"

#include <gtest/gtest.h>

namespace lxr4 {
namespace {

TEST(Section, ReadsColumnsThenRowsFromOne) {
  struct Case {
    const char* text;
    Section want;
  };
  const Case cases[] = {
      {"[1:10,5:20]", {1, 10, 5, 20}},
      {" [ 3 : 4 , 1:40 ] ", {3, 4, 1, 40}},
      {"[10:1,20:5]", {1, 10, 5, 20}},  // reversed: the same pixels
      {"[*,2:3]", {1, 96, 2, 3}},
      {"[96:96,*]", {96, 96, 1, 40}},  // last valid column
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const SectionResult r = ParseSection(c.text, 96, 40);
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.section.x1, c.want.x1);
    EXPECT_EQ(r.section.x2, c.want.x2);
    EXPECT_EQ(r.section.y1, c.want.y1);
    EXPECT_EQ(r.section.y2, c.want.y2);
  }
  EXPECT_EQ(SectionText({1, 10, 5, 20}), "[1:10,5:20]");
}

TEST(Section, RefusesTextThatIsNoSection) {
  for (const char* text : {"", "1:10,5:20", "[1:10]", "[1:10,5]", "[a:10,5:20]", "[1.5:10,5:20]", "[1:10,5:20"}) {
    SCOPED_TRACE(text);
    const SectionResult r = ParseSection(text, 96, 40);
    EXPECT_EQ(r.error, SectionError::BadText);
    EXPECT_NE(r.message.find("[x1:x2,y1:y2]"), std::string::npos);
  }
}

TEST(Section, RefusesBoundsOutsideTheFrame) {
  for (const char* text : {"[0:10,1:2]", "[1:97,1:2]", "[1:10,1:41]", "[-3:2,1:2]"}) {
    SCOPED_TRACE(text);
    const SectionResult r = ParseSection(text, 96, 40);
    EXPECT_EQ(r.error, SectionError::Outside);
  }
  EXPECT_EQ(ParseSection("[1:97,1:2]", 96, 40).message,
            "The section \"[1:97,1:2]\" lies outside the frame of 96 x 40 pixels.");
}

}  // namespace
}  // namespace lxr4
