// installed_program.h — the organizer as a user gets it, for end-to-end tests: the build
// installed into a program folder of its own, settings in a folder of their own (past the
// welcome message, otherwise a fresh install), the clock on Friday 7 May 2004, and the host
// started in this process on that folder as the program's main() starts it, so that its
// dialogs can be found by their control ids while everything it loads comes from the
// installed folder.  Message boxes are recorded and answered with their default button.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRect>
#include <QSettings>
#include <memory>

#include "host/host_dialogs.h"
#include "host/main_frame.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "platform/clock.h"
#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"

namespace yk::testing {

// Friday, 7 May 2004: the shared date for the whole run.
inline const platform::LocalTime kMorning{2004, 5, 7, 9, 0, 0, 5};

class InstalledProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(InstallBuildInto(prefix()));
    fs::create_directories(config());
    ::setenv("XDG_CONFIG_HOME", config().c_str(), 1);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(config().string()));
    QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    seed.setValue("setting/firsttime", "1");
    seed.sync();
    platform::SetClockOverride(kMorning);
  }
  void TearDown() override {
    app_.reset();
    platform::SetClockOverride(std::nullopt);
  }

  fs::path prefix() const { return root_.path() / "program"; }
  fs::path config() const { return root_.path() / "config"; }
  fs::path settingsFile() const { return config() / "Vantor Studio" / "tavik-hpc2k.conf"; }

  // Starts the host on the installed folder as the program's main() does.
  void Start() {
    QApplication::setApplicationName(QStringLiteral("tavik-hpc2k"));
    QApplication::setOrganizationName(QStringLiteral("Vantor Studio"));
    app_ = std::make_unique<CTavikApp>();
    app_->AddExtension(InstallHostDialogs);
    CTavikApp::Options options;
    options.appFolder = platform::Utf8ToUtf16(prefix().string() + "/");
    // Other tests may run an installed host at the same time.
    options.singleInstance = false;
    ASSERT_TRUE(app_->InitInstance(options));
  }
  // "終了": saves the settings and the layout, unloads the plugins.
  void Quit() {
    ASSERT_TRUE(app_->frame()->RunCommand(kCommandExit));
    app_.reset();
  }

  CTavikView& view() { return *app_->view(); }
  HostContext& host() { return *view().session().host(); }
  PluginSlot& SlotAt(int p) { return host().slots[host().order[p]]; }
  QRect WindowRect(int p) {
    const PluginSlot& slot = SlotAt(p);
    return QRect(slot.left, slot.top, slot.width, slot.height);
  }
  QImage Shown() { return view().grab().toImage(); }

  TempFolder root_{"e2e"};
  platform::testing::MessageRecorder recorder_;
  std::unique_ptr<CTavikApp> app_;
};

}  // namespace yk::testing
