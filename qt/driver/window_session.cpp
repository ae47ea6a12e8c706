#include "qt/driver/window_session.h"

#include <QApplication>
#include <iostream>
#include <memory>

#include "app/app.h"
#include "qt/look.h"
#include "qt/qt_window.h"
#include "qt/driver/window_driver.h"
#include "script/recording_window.h"
#include "script/script_runner.h"

namespace lxr4 {

namespace {
// Qt's own notes (about the platform, fonts, ...) would mix with the script's
// errors on standard error; only its critical and fatal messages are kept.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}
}  // namespace

int RunScriptInWindow(std::istream& script, int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QtMessages);
  QApplication application(argc, argv);
  ApplyClassicLook();
  QtWindow window;
  WindowDriver driver(window);
  Transcript transcript(std::cout);
  RecordingWindow recording(driver, transcript);
  const auto app = std::make_unique<App>(recording);  // the state is large: keep it off the stack
  driver.SetProgram(*app);
  window.ShowCentred();
  return RunScript(script, *app, driver, transcript, std::cerr);
}

}  // namespace lxr4
