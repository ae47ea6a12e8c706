// lxr4: the program on the real window system.
#include <QApplication>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <span>

#include "app/app.h"
#include "platform/files.h"
#include "qt/look.h"
#include "qt/open_folder.h"
#include "qt/qt_window.h"
#include "qt/start_options.h"

int main(int argc, char** argv) {
  using lxr4::StartOptions;
  lxr4::IgnoreFileSizeSignal();  // a save past ulimit -f is refused, not the end of the program
  // Read before Qt starts: --help and --version need no display.
  const StartOptions options =
      lxr4::ParseStartOptions(std::span(argv + 1, static_cast<std::size_t>(argc - 1)));
  switch (options.action) {
    case StartOptions::Action::Help:
      std::cout << lxr4::StartUsage();
      return 0;
    case StartOptions::Action::Version:
      std::cout << lxr4::VersionText();
      return 0;
    case StartOptions::Action::Refuse:
      std::cerr << "lxr4: " << options.error << "\n" << lxr4::StartUsage();
      return 2;
    case StartOptions::Action::Run:
      break;
  }
  if (!lxr4::HasDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                        std::getenv("WAYLAND_DISPLAY"))) {
    std::cerr << "lxr4: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n";
    return 1;
  }

  // Qt sees only the program's name: the arguments were the program's own.
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("lxr4"));
  lxr4::ApplyClassicLook();
  lxr4::OpenFolder openFolder(lxr4::UserSamplesFolder(
      lxr4::InstalledSamplesFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
  lxr4::QtWindow window;
  window.UseOpenFolder(&openFolder);
  lxr4::App app(window);
  window.SetEventSink(&app);
  app.OnEvent(lxr4::Control::Spectra, lxr4::Event::Load);  // start-up runs before the window shows
  if (window.Ended()) return 0;
  window.ShowCentred();
  // The files named on the command line load through the buttons' own
  // handlers once the window shows, so that a failure's message has it behind.
  QTimer::singleShot(0, &application, [&] {
    if (!options.calibration.empty() && !window.Ended()) {
      window.AnswerNextOpen(options.calibration);
      app.OnEvent(lxr4::Control::cmdload2, lxr4::Event::Click);
    }
    if (!options.object.empty() && !window.Ended()) {
      window.AnswerNextOpen(options.object);
      app.OnEvent(lxr4::Control::cmdload, lxr4::Event::Click);
    }
  });
  return QApplication::exec();
}
