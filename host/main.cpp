// tavik-hpc2k: the Yomitoki host program.  No command-line options are read.
#include <QApplication>

#include "host/tavik_app.h"
#include "platform/qt_message_box.h"
#ifdef YK_HAVE_HOST_DIALOGS
#include "host/dialog_commands.h"
#endif

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavik-hpc2k"));
  QApplication::setOrganizationName(QStringLiteral("Vantor Studio"));
  // The desktop's menu entry (yomitoki.desktop) that this window belongs to.
  QGuiApplication::setDesktopFileName(QStringLiteral("yomitoki"));
  platform::InstallQtMessageBoxes();
  yk::CTavikApp app;
#ifdef YK_HAVE_HOST_DIALOGS
  app.AddExtension(yk::InstallDialogCommands);
#endif
  if (!app.InitInstance({})) return 0;
  return QApplication::exec();
}
