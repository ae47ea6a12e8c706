// The menu bar as built from the menu table, the items it delivers, and
// File > Open Recent kept in the user's settings.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "platform/qt/qt_window.h"
#include "platform/qt/user_settings.h"
#include "tests/window/window_test_support.h"

namespace lxr4 {
namespace {

std::string Text(const QString& s) { return s.toStdString(); }

TEST(MenuBar, ItemsAsTheTableGivesThem) {
  const QtWindow window;
  QStringList titles;
  for (const QAction* menu : window.MenuBar()->actions()) titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Calibration", "&Help"}));
  for (const MenuItemInfo& info : AllMenuItems()) {
    SCOPED_TRACE(std::string(info.name));
    const QAction* action = window.MenuAction(info.id);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(Text(action->objectName()), info.name);
    EXPECT_EQ(Text(action->text()), info.caption);
    EXPECT_EQ(Text(action->shortcut().toString(QKeySequence::PortableText)), info.shortcut);
    EXPECT_EQ(action->isCheckable(), info.checkable);
    EXPECT_EQ(Text(window.MenuOf(info.id)->title()), MenuCaption(info.menu));
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

TEST(MenuBar, ChosenItemReachesTheProgram) {
  QtWindow window;
  RecordingSink sink;
  window.SetEventSink(&sink);
  window.MenuAction(MenuItem::ExportSpectrum)->trigger();
  window.MenuAction(MenuItem::About)->trigger();
  EXPECT_EQ(sink.menus, (std::vector<MenuItem>{MenuItem::ExportSpectrum, MenuItem::About}));
  EXPECT_TRUE(sink.events.empty());
}

// Newest first, each file once per slot, and still there in the next run.
TEST(MenuBar, OpenRecentListsTheLoadedFilesAcrossRuns) {
  UserSettings()->remove(kRecentFilesKey);
  {
    QtWindow first;
    EXPECT_FALSE(first.MenuAction(MenuItem::OpenRecent)->isEnabled());
    first.AddRecentFile(RecentFile{"/data/star.km1", false});
    first.AddRecentFile(RecentFile{"/data/lamp.km1", true});
    first.AddRecentFile(RecentFile{"/data/star.km1", false});
  }
  QtWindow window;
  RecordingSink sink;
  window.SetEventSink(&sink);
  const QMenu* recent = window.MenuAction(MenuItem::OpenRecent)->menu();
  ASSERT_NE(recent, nullptr);
  QStringList entries;
  for (const QAction* entry : recent->actions()) entries << entry->text();
  EXPECT_EQ(entries, (QStringList{"Spectrum: /data/star.km1", "Calibration: /data/lamp.km1"}));
  EXPECT_FALSE(window.ChosenRecentFile().has_value());

  recent->actions().at(1)->trigger();
  ASSERT_TRUE(window.ChosenRecentFile().has_value());
  EXPECT_EQ(window.ChosenRecentFile()->path, "/data/lamp.km1");
  EXPECT_TRUE(window.ChosenRecentFile()->calibration);
  EXPECT_EQ(sink.menus, std::vector<MenuItem>{MenuItem::OpenRecent});
  UserSettings()->remove(kRecentFilesKey);
}

}  // namespace
}  // namespace lxr4
