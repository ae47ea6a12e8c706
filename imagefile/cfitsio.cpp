// The names here are cfitsio's own functions, not the calls through them.
#define LXR4_CFITSIO_LOADER
#include "imagefile/cfitsio.h"

#include <dlfcn.h>

namespace lxr4 {

namespace {

CfitsioFunctions Load() {
  CfitsioFunctions f;
  // The library this build found (CMake passes its SONAME); it stays loaded for the rest of the run.
  void* library = dlopen(LXR4_CFITSIO_SONAME, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return f;
  CfitsioFunctions loaded;
  bool complete = true;
#define LXR4_CFITSIO_LOAD(name)                                                \
  loaded.name = reinterpret_cast<decltype(loaded.name)>(dlsym(library, #name)); \
  complete = complete && loaded.name != nullptr;
  LXR4_CFITSIO_FUNCTIONS(LXR4_CFITSIO_LOAD)
#undef LXR4_CFITSIO_LOAD
  return complete ? loaded : f;
}

}  // namespace

const CfitsioFunctions& Cfitsio() {
  static const CfitsioFunctions functions = Load();
  return functions;
}

}  // namespace lxr4
