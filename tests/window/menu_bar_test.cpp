// The menu bar as built from the menu table, and the instrument settings the
// window keeps in the user's settings. (A chosen item reaches the program in
// the golden cases played on this window, such as menu-choices; File > Open
// Recent across runs is program_test.)
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "qt/qt_window.h"
#include "qt/user_settings.h"

namespace lxr4 {
namespace {

std::string Text(const QString& s) { return s.toStdString(); }

TEST(MenuBar, ItemsAsTheTableGivesThem) {
  const QtWindow window;
  QStringList titles;
  for (const QAction* menu : window.MenuBar()->actions()) titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Reduction", "&Calibration", "&Measure", "&Help"}));
  for (const MenuItemInfo& info : AllMenuItems()) {
    SCOPED_TRACE(std::string(info.name));
    const QAction* action = window.MenuAction(info.id);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(Text(action->text()), info.caption);
    EXPECT_EQ(Text(action->shortcut().toString(QKeySequence::PortableText)), info.shortcut);
    EXPECT_TRUE(window.MenuOf(info.id)->actions().contains(action));
  }
  const struct {
    MenuItem item;
    const char* keys;
  } usual[] = {{MenuItem::OpenObject, "Ctrl+O"},
               {MenuItem::ExportSpectrum, "Ctrl+E"},
               {MenuItem::PrintGraph, "Ctrl+P"},
               {MenuItem::Exit, "Ctrl+Q"},
               {MenuItem::AddLine, "Ctrl+M"}};
  for (const auto& u : usual)
    EXPECT_EQ(window.MenuAction(u.item)->shortcut(), QKeySequence(QString::fromLatin1(u.keys)));
}

TEST(MenuBar, InstrumentSettingsKeptAcrossRunsAndNoneAtFirst) {
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
