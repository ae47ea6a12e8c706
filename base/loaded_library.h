// A shared library loaded at the first use of its functions rather than at
// the program's start: all the functions a table names, or none of them.
#pragma once

#include <dlfcn.h>

#include <type_traits>

namespace lxr4 {

// Opens `soname` (it stays loaded for the rest of the run) and lets `each`
// resolve every pointer of a Functions table by name with the resolver it is
// given; a table with any pointer unresolved, or no library, comes back empty.
template <class Functions, class Each>
[[nodiscard]] Functions LoadFunctions(const char* soname, Each each) {
  void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return {};
  Functions loaded;
  bool complete = true;
  each(loaded, [&](auto& pointer, const char* name) {
    pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(dlsym(library, name));
    complete = complete && pointer != nullptr;
  });
  return complete ? loaded : Functions{};
}

}  // namespace lxr4
