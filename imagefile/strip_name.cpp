#include "imagefile/strip_name.h"

namespace lxr4 {

std::string StripNameDefault(std::string_view imagePath, bool cameraFolderExists) {
  if (cameraFolderExists) return std::string(kCameraImageFolder);
  const std::size_t slash = imagePath.rfind('/');
  if (slash == std::string_view::npos) return "./";
  return std::string(imagePath.substr(0, slash + 1));
}

}  // namespace lxr4
