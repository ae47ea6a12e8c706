// The instrument settings the window keeps between runs in the user's settings.
#include <gtest/gtest.h>

#include "platform/qt/qt_window.h"
#include "platform/qt/user_settings.h"

namespace lxr4 {
namespace {

TEST(InstrumentSettings, KeptAcrossRunsAndNoneAtFirst) {
  UserSettings()->remove(kInstrumentKey);
  const InstrumentFields typed{"1200", "45", "384.5", false, "13.5"};
  {
    QtWindow first;
    EXPECT_FALSE(first.KeptInstrument());
    first.KeepInstrument(typed);
  }
  const QtWindow next;
  EXPECT_EQ(next.KeptInstrument(), typed);
  UserSettings()->remove(kInstrumentKey);
}

}  // namespace
}  // namespace lxr4
