// The export glue of the plugin modules: one module per window, nothing thrown across the
// boundary, the settings kept when a module goes.
#include "common/plugin_exports.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace yk {
namespace {

// What the fake module was asked, in order.
std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

struct FakeWindow {
  int Tap(int x) {
    if (x < 0) throw std::runtime_error("bad tap");
    return x + slot;
  }
  KeyTable* keys() { return &table; }
  int slot = 0;
  KeyTable table{};
};

// Refuses to start in slot 3 (as a plugin whose picture is missing), throws in slot 2.
class FakeModule {
 public:
  static std::unique_ptr<FakeModule> Create(HostContext* /*host*/, int32_t slot) {
    Log().push_back("create " + std::to_string(slot));
    if (slot == 3) return nullptr;
    if (slot == 2) throw std::bad_alloc();
    auto module = std::make_unique<FakeModule>();
    module->window_.slot = slot;
    return module;
  }
  FakeWindow& window() { return window_; }
  void Save() {
    Log().push_back("save " + std::to_string(window_.slot));
    if (throwOnSave) throw std::runtime_error("disk gone");
  }

  static inline bool throwOnSave = false;

 private:
  FakeWindow window_;
};

using Exports = PluginExports<FakeModule>;

class PluginExportsTest : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  void TearDown() override {
    FakeModule::throwOnSave = false;
    Exports::Destroy();
  }
  static int32_t Tap(int x) {
    return Exports::Guarded([&](FakeWindow& w) { return w.Tap(x); });
  }
  HostContext* host() { return host_.get(); }

 private:
  std::unique_ptr<HostContext> host_ = std::make_unique<HostContext>();
};

TEST_F(PluginExportsTest, InitAnswersWhetherTheWindowCanStart) {
  struct Case {
    const char* rule;
    bool withHost;
    int32_t slot;
    int32_t answer;
    std::vector<std::string> calls;
  } cases[] = {
      {"a window in a slot", true, 1, 1, {"create 1"}},
      {"the last slot", true, kMaxWindows - 1, 1, {"create " + std::to_string(kMaxWindows - 1)}},
      {"no Host context", false, 1, 0, {}},
      {"a slot below the first", true, -1, 0, {}},
      {"a slot past the last", true, kMaxWindows, 0, {}},
      {"the module refuses", true, 3, 0, {"create 3"}},
      {"the module throws", true, 2, 0, {"create 2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    Exports::Destroy();
    Log().clear();
    EXPECT_EQ(Exports::Init(c.withHost ? host() : nullptr, c.slot), c.answer);
    EXPECT_EQ(Log(), c.calls);
    EXPECT_EQ(Exports::Instance() != nullptr, c.answer == 1);
  }
}

TEST_F(PluginExportsTest, CallsReachTheWindowAndNeverThrow) {
  EXPECT_EQ(Tap(5), 0) << "no module yet";
  EXPECT_EQ(Exports::Keys(), nullptr);
  ASSERT_EQ(Exports::Init(host(), 1), 1);
  EXPECT_EQ(Tap(5), 6);
  EXPECT_EQ(Tap(-1), 0) << "a throw inside answers 0";
  EXPECT_EQ(Exports::Keys(), &Exports::Instance()->window().table);
}

TEST_F(PluginExportsTest, ASecondInitAndDestroySaveTheSettings) {
  ASSERT_EQ(Exports::Init(host(), 1), 1);
  ASSERT_EQ(Exports::Init(host(), 0), 1);
  Exports::Destroy();
  Exports::Destroy();
  EXPECT_EQ(Log(), (std::vector<std::string>{"create 1", "save 1", "create 0", "save 0"}));
  EXPECT_EQ(Tap(5), 0) << "destroyed: every call a no-op";
}

TEST_F(PluginExportsTest, AFailedSaveIsNotThrownAcrossTheBoundary) {
  ASSERT_EQ(Exports::Init(host(), 1), 1);
  FakeModule::throwOnSave = true;
  EXPECT_EQ(Exports::Init(host(), 0), 0) << "the old module could not be put away";
  EXPECT_EQ(Exports::Instance(), nullptr);
  EXPECT_EQ(Tap(5), 0);
  EXPECT_EQ(Log(), (std::vector<std::string>{"create 1", "save 1"}));
}

}  // namespace
}  // namespace yk
