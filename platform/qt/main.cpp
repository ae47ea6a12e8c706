// lxr4: the program on the real window system.
#include <QApplication>

#include "app/app.h"
#include "platform/qt/look.h"
#include "platform/qt/qt_window.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  lxr4::ApplyClassicLook();
  lxr4::QtWindow window;
  lxr4::App app(window);
  window.SetEventSink(&app);
  app.OnEvent(lxr4::Control::Spectra, lxr4::Event::Load);  // start-up runs before the window shows
  if (window.Ended()) return 0;
  window.ShowCentred();
  return QApplication::exec();
}
