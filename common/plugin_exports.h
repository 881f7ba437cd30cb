// plugin_exports.h — the export glue every plugin module shares.
//
// A module serves one window: its state lives in one `Module` created by plg_init and
// freed by plg_destroy.  Every export is extern "C", noexcept and catches at its edge; a
// failure inside a call answers 0 (nothing to do), and without a module every call is a
// no-op that answers 0.  The module's library is linked with hidden visibility, so only
// the plg_* functions declared with YK_EXPORT leave it.
//
// A plugin's Module type provides
//   static std::unique_ptr<Module> Create(HostContext* host, int32_t slot);
//       the window's state, or nullptr when it can't start (after showing its message);
//   Window& window();    the object its events go to;
//   void Save();         keeps its settings, called by plg_destroy before it is freed.
// The plugin then writes YK_PLUGIN_MODULE_EXPORTS(Module, name, version) once, for the five
// exports every module has, and one YK_EXPORT shell per event export it answers, e.g.
//   YK_EXPORT int32_t plg_notify(int32_t code) noexcept {
//     return yk::PluginExports<Module>::Guarded([&](auto& window) { return window.Notify(code); });
//   }
// An export a plugin leaves out tells the host that the plugin has no such command.
#pragma once

#include <memory>

#include "common/plugin_interface.h"

#define YK_EXPORT extern "C" __attribute__((visibility("default")))

namespace yk {

template <typename Module>
class PluginExports {
 public:
  // The module of the window, or nullptr before plg_init and after plg_destroy.
  static std::unique_ptr<Module>& Instance() {
    static std::unique_ptr<Module> instance;
    return instance;
  }

  // plg_init: a second call replaces the first module (saving its settings).
  static int32_t Init(HostContext* host, int32_t slot) noexcept {
    try {
      SaveAndFree();
      if (host == nullptr || slot < 0 || slot >= kMaxWindows) return 0;
      Instance() = Module::Create(host, slot);
      return Instance() ? 1 : 0;
    } catch (...) {
      Instance().reset();
      return 0;
    }
  }

  // plg_destroy: saves the settings and frees the module.
  static void Destroy() noexcept {
    try {
      SaveAndFree();
    } catch (...) {
      Instance().release();  // leak rather than throw across the boundary
    }
  }

  // Calls `call` with the module's window; 0 without a module or when the call throws.
  template <typename Call>
  static int32_t Guarded(Call call) noexcept {
    try {
      auto& instance = Instance();
      return instance ? call(instance->window()) : 0;
    } catch (...) {
      return 0;
    }
  }

  // plg_keyconfig: the window's key table, or nullptr without a module.
  static KeyTable* Keys() noexcept {
    auto& instance = Instance();
    return instance ? instance->window().keys() : nullptr;
  }

 private:
  static void SaveAndFree() {
    auto& instance = Instance();
    if (!instance) return;
    instance->Save();
    instance.reset();
  }
};

}  // namespace yk

// plg_valid, plg_init, plg_destroy, plg_info and plg_version of a module whose display name
// is `name` (a NUL-terminated UTF-16 text that lives as long as the module) and whose
// interface version is `version`.
#define YK_PLUGIN_MODULE_EXPORTS(Module, name, version)                                        \
  YK_EXPORT int32_t plg_valid() noexcept {                                                     \
    return 0;                                                                                  \
  }                                                                                            \
  YK_EXPORT int32_t plg_init(HostContext* host, int32_t /*reserved*/, int32_t slot) noexcept { \
    return ::yk::PluginExports<Module>::Init(host, slot);                                      \
  }                                                                                            \
  YK_EXPORT void plg_destroy() noexcept {                                                      \
    ::yk::PluginExports<Module>::Destroy();                                                    \
  }                                                                                            \
  YK_EXPORT const YkChar* plg_info() noexcept {                                                \
    return (name);                                                                             \
  }                                                                                            \
  YK_EXPORT float plg_version() noexcept {                                                     \
    return (version);                                                                          \
  }
