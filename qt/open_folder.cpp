#include "qt/open_folder.h"
#include "qt/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace lxr4 {

namespace {
// The program's settings file: ~/.config/lxr4/lxr4.conf.
}  // namespace

QString InstalledSamplesFolder() {
  const QString beside = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/lxr4/samples");
  if (QFileInfo(beside).isDir()) return beside;
  return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("lxr4/samples"),
                                QStandardPaths::LocateDirectory);
}

QString UserSamplesFolder(const QString& installed, const QString& dataFolder) {
  if (installed.isEmpty() || dataFolder.isEmpty()) return {};
  const QDir target(QDir(dataFolder).filePath(QStringLiteral("samples")));
  if (target.exists()) return target.path();
  if (!QDir().mkpath(target.path())) return {};
  for (const QFileInfo& file : QDir(installed).entryInfoList(QDir::Files)) {
    const QString copy = target.filePath(file.fileName());
    // The copy is the user's: writable whatever the installed file's mode.
    if (QFile::copy(file.filePath(), copy))
      QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  }
  return target.path();
}

QString OpenFolder::Start() const {
  const QString last = UserSettings()->value(kLastFolderKey).toString();
  if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
  return firstFolder_;
}

QString PathFromWorkingFolder(const QString& chosen) {
  const QString relative = QDir::current().relativeFilePath(chosen);
  const bool outside = relative == QLatin1String("..") || relative.startsWith(QLatin1String("../")) ||
                       QDir::isAbsolutePath(relative);
  return outside ? chosen : relative;
}

void OpenFolder::Remember(const QString& path) {
  UserSettings()->setValue(kLastFolderKey, QFileInfo(path).absolutePath());
}

}  // namespace lxr4
