#include "platform/tests/qt_test_support.h"

#include <stdlib.h>

#include <filesystem>

#include "platform/testing/temp_folder.h"

namespace platform::testing {
namespace {

// Runs before any test: QSettings takes the configuration folder once, at first use.
struct PrivateConfigFolder {
  TempFolder folder{"platform_config"};
  PrivateConfigFolder() { setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1); }
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
