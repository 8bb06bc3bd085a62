#include "side_library.h"

#include <dlfcn.h>

#include <filesystem>

namespace side_library {
namespace {

// The side libraries lie beside the host library, wherever the build or an install put it.
std::string PathBesideHost(const char* libraryName) {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&PathBesideHost), &info) == 0 || !info.dli_fname)
    return libraryName;
  return (std::filesystem::path(info.dli_fname).parent_path() / libraryName).string();
}

}  // namespace

void* LoadSymbol(const char* libraryName, const char* symbol, std::string& error) {
  const std::string path = PathBesideHost(libraryName);
  // Kept loaded for the life of the process: tables and the objects they make point into it.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* reason = dlerror();
    error = "\"" + path + "\" cannot be loaded (" + (reason ? reason : "unknown reason") + ")";
    return nullptr;
  }
  void* entry = dlsym(handle, symbol);
  if (!entry) error = "\"" + path + "\" is not this host's library (it has no " + symbol + ")";
  return entry;
}

}  // namespace side_library
