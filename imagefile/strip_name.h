// The default answer of the strip's file name prompt.
#pragma once

#include <string>
#include <string_view>

namespace lxr4 {

// The camera's usual image folder, offered where it exists.
inline constexpr std::string_view kCameraImageFolder = "c:\\images\\";

// `c:\images\` when that folder exists (`cameraFolderExists`); otherwise the
// folder of the image the strip is made from, `imagePath`, with a trailing
// separator ("./" for an image in the working folder), so that a name typed
// after it writes the strip next to its image.
std::string StripNameDefault(std::string_view imagePath, bool cameraFolderExists);

}  // namespace lxr4
