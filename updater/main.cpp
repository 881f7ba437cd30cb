// tavik_upd_hpc2k: installs a staged update package, calls it until it is done and starts
// the host again when it asks for that.  It has no window of its own (the package may
// show its own); the command line (the host passes "102") is not read.
#include <QApplication>

#include "platform/process.h"
#include "platform/profile.h"
#include "platform/qt_message_box.h"
#include "updater/updater.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setOrganizationName(QString::fromStdU16String(platform::kCompanyName));
  QApplication::setApplicationName(QString::fromStdU16String(platform::kUpdaterProgramName));
  platform::InstallQtMessageBoxes(nullptr);
  const platform::Handle app =
      platform::RegisterApplication(platform::OpenSettingsProfile(platform::kUpdaterProgramName));
  (void)yk::RunUpdater(yk::UpdaterPathsFor(platform::ExecutableFolder()), app);
  platform::ReleaseApplication(app);
  return 0;
}
