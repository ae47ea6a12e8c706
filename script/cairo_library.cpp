// The names here are cairo's own functions, not the calls through them.
#define LXR4_CAIRO_LOADER
#include "script/cairo_library.h"

#include <dlfcn.h>

namespace lxr4 {

namespace {

CairoFunctions Load() {
  CairoFunctions f;
  // The library this build found (CMake passes its SONAME); it stays loaded for the rest of the run.
  void* library = dlopen(LXR4_CAIRO_SONAME, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return f;
  CairoFunctions loaded;
  bool complete = true;
#define LXR4_CAIRO_LOAD(name)                                                   \
  loaded.name = reinterpret_cast<decltype(loaded.name)>(dlsym(library, #name)); \
  complete = complete && loaded.name != nullptr;
  LXR4_CAIRO_FUNCTIONS(LXR4_CAIRO_LOAD)
#undef LXR4_CAIRO_LOAD
  return complete ? loaded : f;
}

}  // namespace

const CairoFunctions& Cairo() {
  static const CairoFunctions functions = Load();
  return functions;
}

}  // namespace lxr4
