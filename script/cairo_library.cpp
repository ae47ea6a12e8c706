// The names here are cairo's own functions, not the calls through them.
#define LXR4_CAIRO_LOADER
#include "script/cairo_library.h"

#include "base/loaded_library.h"

namespace lxr4 {

// The library this build found (CMake passes its SONAME).
const CairoFunctions& Cairo() {
  static const CairoFunctions functions =
      LoadFunctions<CairoFunctions>(LXR4_CAIRO_SONAME, [](CairoFunctions& f, auto resolve) {
#define LXR4_CAIRO_LOAD(name) resolve(f.name, #name);
        LXR4_CAIRO_FUNCTIONS(LXR4_CAIRO_LOAD)
#undef LXR4_CAIRO_LOAD
      });
  return functions;
}

}  // namespace lxr4
