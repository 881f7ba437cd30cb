// dynamic_library.h — loading shared objects (the .plg plugins and the update package).
//
// A module is loaded by path with its symbols kept local (RTLD_NOW | RTLD_LOCAL), so two
// plugins may export the same names.  Module handles are 32-bit handles like the drawing
// handles (they go into PluginSlot::module); 0 = none, never reused.
#pragma once

#include <filesystem>
#include <string>

#include "platform/handles.h"

namespace platform {

// Loads a module; 0 on failure (see LastModuleError).
Handle LoadModule(const std::filesystem::path& path);

// The address of an exported symbol, or nullptr (missing export, stale handle).
void* FindExport(Handle module, const char* name);

template <typename Function>
Function FindExportAs(Handle module, const char* name) {
  return reinterpret_cast<Function>(FindExport(module, name));
}

// Unloads a module; false for a stale handle.  The handle is dead afterwards.
bool FreeModule(Handle module);

// The loader's text for the last failure of LoadModule on this thread ("" when none).
std::string LastModuleError();

}  // namespace platform
