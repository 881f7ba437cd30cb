#include "common/tests/plugin_test_host.h"

#include <algorithm>
#include <cstdlib>

#include "common/bitmap_ops.h"
#include "platform/handles.h"

namespace yk::testing {

PluginTestHost::PluginTestHost(const std::string& tag, int bufferWidth, int bufferHeight)
    : folder_(tag), ctx_(std::make_unique<HostContext>()) {
  std::filesystem::create_directories(plugin());
  std::filesystem::create_directories(data());
  HostContext& c = *ctx_;
  const std::u16string app = root().u16string() + u"/";
  const std::u16string dataFolder = app + u"data/";
  std::copy(app.begin(), app.end(), c.appFolder);
  std::copy(dataFolder.begin(), dataFolder.end(), c.dataFolder);
  c.bufferWidth = bufferWidth;
  c.bufferHeight = bufferHeight;
  c.bufferBytes = bufferWidth * bufferHeight * 3;
  c.partsBytes = kPartsBytes;
  bitmaps_.push_back(platform::CreateSurfaceBitmap(kPartsWidth, kPartsHeight, &c.partsBits));
  c.fontName.set(u"IPAGothic");
  c.todayYear = 2004, c.todayMonth = 5, c.todayDay = 7;
}

PluginTestHost::~PluginTestHost() {
  if (module_ != nullptr) dlclose(module_);
  if (ctx_->app != 0) platform::ReleaseApplication(ctx_->app);
  for (uint32_t bitmap : bitmaps_) platform::DeleteBitmap(bitmap);
  ctx_->fontName.release();
  ctx_->dialName.release();
}

void PluginTestHost::AddWindowBuffer(int index) {
  PluginSlot& slot = ctx_->slots[index];
  if (slot.bits != 0) return;
  bitmaps_.push_back(
      platform::CreateSurfaceBitmap(ctx_->bufferWidth, ctx_->bufferHeight, &slot.bits));
}

void PluginTestHost::OpenSlot(int index, int width, int height) {
  AddWindowBuffer(index);
  PluginSlot& slot = ctx_->slots[index];
  slot.width = width;
  slot.height = height;
  slot.inUse = 1;
}

platform::MemoryProfile* PluginTestHost::RegisterProfile() {
  auto profile = std::make_unique<platform::MemoryProfile>();
  platform::MemoryProfile* registered = profile.get();
  ctx_->app = platform::RegisterApplication(std::move(profile));
  return registered;
}

bool PluginTestHost::LoadPlugin(const char* variable) {
  const char* file = std::getenv(variable);
  if (file == nullptr) {
    error_ = std::string(variable) + " names the built module";
    return false;
  }
  module_ = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (module_ == nullptr) {
    const char* reason = dlerror();
    error_ = reason != nullptr ? reason : "the module doesn't load";
    return false;
  }
  return true;
}

}  // namespace yk::testing
