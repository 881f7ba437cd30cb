// Modules through dlopen.  The table maps our 32-bit handles to the loader's pointers.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <mutex>
#include <unordered_map>

#include "platform/handle_registry.h"

namespace platform {
namespace {

struct Modules {
  std::mutex mutex;
  std::unordered_map<Handle, void*> loaded;
};

Modules& M() {
  static Modules modules;
  return modules;
}

thread_local std::string lastError;

}  // namespace

Handle LoadModule(const std::filesystem::path& path) {
  lastError.clear();
  if (path.empty()) {
    lastError = "empty module path";
    return 0;
  }
  // A path without a slash would make dlopen search the library path; modules are always
  // named by their place in the program folder.
  std::filesystem::path full = path.has_parent_path() ? path : "./" / path;
  void* module = dlopen(full.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* text = dlerror();
    lastError = text ? text : "cannot load module";
    return 0;
  }
  Handle handle = NewHandle();
  if (handle == 0) {
    dlclose(module);
    lastError = "out of handles";
    return 0;
  }
  std::lock_guard lock(M().mutex);
  M().loaded.emplace(handle, module);
  return handle;
}

void* FindExport(Handle module, const char* name) {
  if (name == nullptr) return nullptr;
  void* native = nullptr;
  {
    std::lock_guard lock(M().mutex);
    auto it = M().loaded.find(module);
    if (it == M().loaded.end()) return nullptr;
    native = it->second;
  }
  dlerror();
  return dlsym(native, name);
}

bool FreeModule(Handle module) {
  void* native = nullptr;
  {
    std::lock_guard lock(M().mutex);
    auto it = M().loaded.find(module);
    if (it == M().loaded.end()) return false;
    native = it->second;
    M().loaded.erase(it);
  }
  return dlclose(native) == 0;
}

std::string LastModuleError() {
  return lastError;
}

}  // namespace platform
