// Where the real program's open-file dialog starts. On the first start the
// installed samples are copied into the user's data folder (the installed ones
// are read-only, and a text file or strip is written next to its image), and
// the dialog starts there; afterwards it starts in the folder of the last file
// chosen in it, kept in the program's settings. The driven window of
// lxr4-script has none of this: its dialog starts where Qt's does.
#pragma once

#include <QString>

namespace lxr4 {

// The samples folder installed with the program (share/lxr4/samples beside
// the program's bin folder, or in the system's data folders); empty when
// there is none, as in a build folder.
QString InstalledSamplesFolder();

// The user's samples folder `dataFolder`/samples, filled with the files of
// `installed` when it does not exist yet; empty when there is none to offer.
// An existing folder is the user's and is left as it is.
QString UserSamplesFolder(const QString& installed, const QString& dataFolder);

// The path of a chosen file as it would be typed in the working folder: from
// there for a file within it, else whole.
QString PathFromWorkingFolder(const QString& chosen);

class OpenFolder {
 public:
  // `firstFolder`: where the dialog starts until a file has been chosen.
  explicit OpenFolder(QString firstFolder) : firstFolder_(std::move(firstFolder)) {}

  // The folder to start in; empty for the working folder.
  [[nodiscard]] QString Start() const;
  // Remembers the folder of the chosen file `path` for this and later runs.
  void Remember(const QString& path);

 private:
  QString firstFolder_;
};

}  // namespace lxr4
