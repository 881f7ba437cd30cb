// plugin_test_host.h — what the host hands a plugin, set up for the plugins' own tests: a
// program folder of its own, a Host context over it and the built module, loaded the way
// the host loads it.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/plugin_interface.h"
#include "platform/profile.h"
#include "platform/testing/temp_folder.h"

namespace yk::testing {

// A fresh program folder <root>/ with plugin/ and data/, and a Host context whose appFolder
// and dataFolder point there: screen buffers of bufferWidth x bufferHeight, a parts sheet,
// the font "IPAGothic" and today 7 May 2004.  No slot has a window until OpenSlot.  Going
// away it closes the module, releases the application, frees the bitmaps and the shared
// names, and removes the folder.
class PluginTestHost {
 public:
  // `tag` goes into the folder's name.
  explicit PluginTestHost(const std::string& tag, int bufferWidth = 320, int bufferHeight = 240);
  ~PluginTestHost();
  PluginTestHost(const PluginTestHost&) = delete;
  PluginTestHost& operator=(const PluginTestHost&) = delete;

  HostContext* ctx() { return ctx_.get(); }
  const std::filesystem::path& root() const { return folder_.path(); }
  std::filesystem::path plugin() const { return root() / "plugin"; }
  std::filesystem::path data() const { return root() / "data"; }

  // A window buffer (of the screen buffers' size) for slot `index`, unless it has one.
  void AddWindowBuffer(int index);
  // Slot `index` in use, with a window buffer and a window of width x height.
  void OpenSlot(int index, int width, int height);
  // An application whose profile lives in memory, as the context's `app`.
  platform::MemoryProfile* RegisterProfile();

  // Loads the module that the environment variable `variable` names; false, with the
  // reason in error(), when the variable is unset or the module doesn't load.
  [[nodiscard]] bool LoadPlugin(const char* variable);
  const std::string& error() const { return error_; }
  void* module() const { return module_; }
  // The module's export `name` (a test failure when it has none).
  template <typename F>
  F Export(const char* name) {
    auto f = reinterpret_cast<F>(dlsym(module_, name));
    EXPECT_NE(f, nullptr) << name;
    return f;
  }

 private:
  platform::testing::TempFolder folder_;
  std::unique_ptr<HostContext> ctx_;
  std::vector<uint32_t> bitmaps_;
  void* module_ = nullptr;
  std::string error_;
};

}  // namespace yk::testing
