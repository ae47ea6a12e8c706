// The main window's menu bar, built from the menu table (platform/menus.h);
// choosing an item delivers it to the program. File > Open Recent lists the
// recently loaded files, kept in the user's settings.
#include <QAction>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include "qt/qt_window.h"
#include "qt/user_settings.h"
#include "qt/widgets.h"

namespace lxr4 {

namespace {

constexpr qsizetype kRecentCount = 8;
// A settings entry: the slot, a tab, the file's whole path.
const QString kObjectSlot = QStringLiteral("object");
const QString kCalSlot = QStringLiteral("calibration");

QString ToQt(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::size_t Index(MenuItem item) { return static_cast<std::size_t>(item); }

QStringList RecentEntries() { return UserSettings()->value(kRecentFilesKey).toStringList(); }

}  // namespace

void QtWindow::BuildMenus() {
  menuActions_.assign(AllMenuItems().size(), nullptr);
  itemMenus_.assign(AllMenuItems().size(), nullptr);
  QMenuBar* bar = main_->menuBar();
  for (const Menu menu : {Menu::File, Menu::View, Menu::Reduction, Menu::Calibration, Menu::Measure, Menu::Help}) {
    QMenu* shown = nullptr;
    for (const MenuItemInfo& info : AllMenuItems()) {
      if (info.menu != menu) continue;
      if (shown == nullptr) shown = bar->addMenu(ToQt(MenuCaption(menu)));
      if (info.separatorBefore) shown->addSeparator();
      QAction* action = nullptr;
      if (info.recentFiles) {
        recentMenu_ = shown->addMenu(ToQt(info.caption));
        recentMenu_->setObjectName(ToQt(info.name));
        action = recentMenu_->menuAction();
      } else {
        action = shown->addAction(ToQt(info.caption));
        action->setShortcut(QKeySequence(ToQt(info.shortcut), QKeySequence::PortableText));
        action->setCheckable(info.checkable);
        const MenuItem id = info.id;
        QObject::connect(action, &QAction::triggered, action, [this, id] { DeliverMenu(id); });
      }
      action->setObjectName(ToQt(info.name));
      menuActions_[Index(info.id)] = action;
      itemMenus_[Index(info.id)] = shown;
    }
  }
  FillRecentMenu();
}

void QtWindow::FillRecentMenu() {
  if (recentMenu_ == nullptr) return;
  recentMenu_->clear();
  for (const QString& entry : RecentEntries()) {
    const QString slot = entry.section(QLatin1Char('\t'), 0, 0);
    const QString path = entry.section(QLatin1Char('\t'), 1);
    const bool calibration = slot == kCalSlot;
    QAction* action = recentMenu_->addAction(
        (calibration ? QStringLiteral("Calibration: ") : QStringLiteral("Spectrum: ")) + path);
    QObject::connect(action, &QAction::triggered, action, [this, path, calibration] {
      chosenRecent_ = RecentFile{PathAsChosen(path), calibration};
      DeliverMenu(MenuItem::OpenRecent);
    });
  }
  recentMenu_->menuAction()->setEnabled(!recentMenu_->isEmpty());
}

void QtWindow::AddRecentFile(const RecentFile& file) {
  const QString entry = (file.calibration ? kCalSlot : kObjectSlot) + QLatin1Char('\t') +
                        QFileInfo(QFile::decodeName(file.path.c_str())).absoluteFilePath();
  QStringList entries = RecentEntries();
  entries.removeAll(entry);
  entries.prepend(entry);
  while (entries.size() > kRecentCount) entries.removeLast();
  UserSettings()->setValue(kRecentFilesKey, entries);
  FillRecentMenu();
}

bool QtWindow::MenuTicked(MenuItem item) const { return menuActions_[Index(item)]->isChecked(); }

QMenuBar* QtWindow::MenuBar() const { return main_->menuBar(); }
QAction* QtWindow::MenuAction(MenuItem item) const { return menuActions_[Index(item)]; }
QMenu* QtWindow::MenuOf(MenuItem item) const { return itemMenus_[Index(item)]; }

void QtWindow::DeliverMenu(MenuItem item) {
  if (sink_ && !ended_) sink_->OnMenu(item);
}

}  // namespace lxr4
