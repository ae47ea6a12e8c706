// The names here are cfitsio's own functions, not the calls through them.
#define LXR4_CFITSIO_LOADER
#include "imagefile/cfitsio.h"

#include "base/loaded_library.h"

namespace lxr4 {

// The library this build found (CMake passes its SONAME).
const CfitsioFunctions& Cfitsio() {
  static const CfitsioFunctions functions =
      LoadFunctions<CfitsioFunctions>(LXR4_CFITSIO_SONAME, [](CfitsioFunctions& f, auto resolve) {
#define LXR4_CFITSIO_LOAD(name) resolve(f.name, #name);
        LXR4_CFITSIO_FUNCTIONS(LXR4_CFITSIO_LOAD)
#undef LXR4_CFITSIO_LOAD
      });
  return functions;
}

}  // namespace lxr4
