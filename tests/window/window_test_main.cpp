// The window tests share one QApplication with the program's look. Listing the
// tests (as the build does to discover them) needs no window system.
#include <QApplication>
#include <gtest/gtest.h>

#include "qt/look.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
  QApplication application(argc, argv);
  lxr4::ApplyClassicLook();
  return RUN_ALL_TESTS();
}
