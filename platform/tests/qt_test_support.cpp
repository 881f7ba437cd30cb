#include "platform/tests/qt_test_support.h"

#include <stdlib.h>

#include <filesystem>

namespace platform::testing {
namespace {

// Runs before any test: QSettings takes the configuration folder once, at first use.
struct PrivateConfigFolder {
  std::filesystem::path folder;
  PrivateConfigFolder() {
    char pattern[] = "/tmp/yk_platform_config_XXXXXX";
    if (mkdtemp(pattern) != nullptr) {
      folder = pattern;
      setenv("XDG_CONFIG_HOME", pattern, 1);
    }
  }
  ~PrivateConfigFolder() {
    std::error_code error;
    if (!folder.empty()) std::filesystem::remove_all(folder, error);
  }
} privateConfigFolder;

}  // namespace

QApplication& App() {
  static int argc = 1;
  static char name[] = "platform_qt_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace platform::testing
