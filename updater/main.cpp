// tavik_upd_hpc2k: installs a staged update package, calls it until it is done and starts
// the host again when it asks for that.  It has no window of its own (the package may
// show its own); the command line (the host passes "102") is not read.
#include <QApplication>

#include "platform/process.h"
#include "platform/profile.h"
#include "platform/qt_message_box.h"
#include "platform/qt_single_instance.h"
#include "updater/updater.h"

namespace {

// How long a restart waits at most for the host that handed over to end.
constexpr int kHostCloseWaitMs = 10000;

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromStdU16String(platform::kCompanyName));
  QApplication::setApplicationName(QString::fromStdU16String(platform::kUpdaterProgramName));
  platform::InstallQtMessageBoxes();
  const platform::Handle app =
      platform::RegisterApplication(platform::OpenSettingsProfile(platform::kUpdaterProgramName));
  // The host closes while the package runs; a quick package may answer before it is gone.
  auto waitForHostToEnd = [] {
    (void)platform::SingleInstance::WaitUntilNoneRuns(
        QString::fromStdU16String(platform::kHostProgramName), kHostCloseWaitMs);
  };
  (void)yk::RunUpdater(yk::UpdaterPathsFor(platform::ExecutableFolder()), app, waitForHostToEnd);
  platform::ReleaseApplication(app);
  return 0;
}
