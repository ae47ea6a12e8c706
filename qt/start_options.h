// lxr4's command line, read before the window system is started so that
// --help and --version answer anywhere, also without a display.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace lxr4 {

struct StartOptions {
  enum class Action { Run, Help, Version, Refuse };
  Action action = Action::Run;
  std::string calibration;  // --calibration FILE, loaded first as "Load Cal" does; empty: none
  std::string object;       // FILE, loaded as "Load Spectra" does; empty: none
  std::string error;        // what was wrong, for Refuse
};

// `args` are the arguments after the program's name.
StartOptions ParseStartOptions(std::span<char* const> args);

// The text of --help and of --version.
std::string StartUsage();
std::string VersionText();

// True when a window can be shown: Qt is told a platform (QT_QPA_PLATFORM) or
// there is an X or Wayland display. Each argument is the variable's value, or
// null when it is unset.
bool HasDisplay(const char* qtPlatform, const char* display, const char* waylandDisplay);

}  // namespace lxr4
