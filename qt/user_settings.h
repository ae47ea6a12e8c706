// The window's own settings that outlive a run (Qt keeps them in the user's
// configuration folder, lxr4/lxr4.conf): the folder the file dialogs start in
// and the recent files.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace lxr4 {

inline constexpr const char* kLastFolderKey = "lastFolder";
inline constexpr const char* kRecentFilesKey = "recentFiles";
// The Instrument dialog's fields, as typed and accepted.
inline constexpr const char* kInstrumentKey = "instrument";
// The Observation dialog's site (latitude, longitude, height), as typed and accepted.
inline constexpr const char* kSiteKey = "site";

inline std::unique_ptr<QSettings> UserSettings() {
  return std::make_unique<QSettings>(QStringLiteral("lxr4"), QStringLiteral("lxr4"));
}

}  // namespace lxr4
