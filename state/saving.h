// Saving: the one way every save of the program takes to the file store, so
// that no save replaces an image file the program has loaded.
#pragma once

#include <algorithm>
#include <span>
#include <string>

#include "state/program.h"

namespace lxr4 {

// Whether writing `path` would replace an image file loaded in this run (the
// object's or the lamp's, now or before).
[[nodiscard]] inline bool ReplacesLoadedImage(Program& app, const std::string& path) {
  return std::any_of(app.s.LoadedFiles.begin(), app.s.LoadedFiles.end(),
                     [&](const std::string& loaded) { return app.w.Files().SameFile(path, loaded); });
}

// Writes `bytes` as the whole file at `path` through the window's file store;
// LoadedImage, with nothing written, when that would replace a loaded image.
[[nodiscard]] inline FileError SaveFile(Program& app, const std::string& path,
                                        std::span<const std::uint8_t> bytes) {
  if (ReplacesLoadedImage(app, path)) return FileError::LoadedImage;
  return app.w.Files().WriteFile(path, bytes);
}

}  // namespace lxr4
