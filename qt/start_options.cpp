#include "qt/start_options.h"

namespace lxr4 {

namespace {
bool Set(const char* value) { return value != nullptr && *value != '\0'; }
}  // namespace

StartOptions ParseStartOptions(std::span<char* const> args) {
  StartOptions options;
  const auto refuse = [&options](std::string error) {
    options.action = StartOptions::Action::Refuse;
    options.error = std::move(error);
    return options;
  };
  bool onlyFiles = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!onlyFiles && arg == "--") {
      onlyFiles = true;
    } else if (!onlyFiles && (arg == "--help" || arg == "-h")) {
      options.action = StartOptions::Action::Help;
      return options;
    } else if (!onlyFiles && arg == "--version") {
      options.action = StartOptions::Action::Version;
      return options;
    } else if (!onlyFiles && (arg == "--calibration" || arg.starts_with("--calibration="))) {
      std::string_view file;
      if (arg == "--calibration") {
        if (i + 1 == args.size()) return refuse("--calibration needs a file");
        file = args[++i];
      } else {
        file = arg.substr(arg.find('=') + 1);
      }
      if (file.empty()) return refuse("--calibration needs a file");
      if (!options.calibration.empty()) return refuse("only one calibration file can be opened");
      options.calibration = file;
    } else if (!onlyFiles && arg.size() > 1 && arg.starts_with('-')) {
      return refuse("unknown option " + std::string(arg));
    } else {
      if (arg.empty()) return refuse("an empty file name");
      if (!options.object.empty()) return refuse("only one object file can be opened");
      options.object = arg;
    }
  }
  return options;
}

std::string StartUsage() {
  return "usage: lxr4 [--calibration LAMP] [IMAGE]\n"
         "Tavrin LXR-4 Spectral Calibration Program: wavelength calibration of slit\n"
         "spectrograph camera images.\n"
         "\n"
         "  IMAGE               opens the camera image as the object spectrum, as\n"
         "                      \"Load Spectra\" does\n"
         "  --calibration LAMP  opens the lamp image as the calibration spectrum,\n"
         "                      as \"Load Cal\" does (before IMAGE)\n"
         "  --help              shows this text\n"
         "  --version           shows the program's version\n"
         "\n"
         "See lxr4(1) and lxr4-script(1).\n";
}

std::string VersionText() { return "lxr4 " LXR4_VERSION "\n"; }

bool HasDisplay(const char* qtPlatform, const char* display, const char* waylandDisplay) {
  return Set(qtPlatform) || Set(display) || Set(waylandDisplay);
}

}  // namespace lxr4
