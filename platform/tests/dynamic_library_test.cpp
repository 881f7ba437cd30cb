#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(DynamicLibrary, LoadsLooksUpAndFrees) {
  Handle module = LoadModule(YK_TEST_MODULE);
  ASSERT_NE(module, 0u) << LastModuleError();
  EXPECT_EQ(LastModuleError(), "");
  auto answer = FindExportAs<int (*)()>(module, "yk_test_answer");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(FindExport(module, "plg_info"), nullptr) << "a missing export";
  EXPECT_EQ(FindExport(module, "_Z12HiddenHelperv"), nullptr) << "hidden symbols stay hidden";
  EXPECT_EQ(FindExport(module, nullptr), nullptr);

  // A second load is a second handle; each is freed on its own.
  Handle again = LoadModule(YK_TEST_MODULE);
  ASSERT_NE(again, 0u);
  EXPECT_NE(again, module);
  EXPECT_TRUE(FreeModule(again));
  EXPECT_NE(FindExport(module, "yk_test_answer"), nullptr);

  EXPECT_TRUE(FreeModule(module));
  EXPECT_FALSE(FreeModule(module));
  EXPECT_EQ(FindExport(module, "yk_test_answer"), nullptr) << "stale handle";
  EXPECT_EQ(FindExport(0, "yk_test_answer"), nullptr);
}

TEST(DynamicLibrary, FailuresSayWhy) {
  struct Case {
    const char* rule;
    std::filesystem::path path;
  } cases[] = {
      {"missing file", "/nonexistent/folder/plugin.plg"},
      {"not a shared object", "/etc/hostname"},
      {"empty path", ""},
      {"a bare name is not searched for in the library path", "libc.so.6"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadModule(c.path), 0u) << c.rule;
    EXPECT_NE(LastModuleError(), "") << c.rule;
  }
}

}  // namespace
}  // namespace platform
