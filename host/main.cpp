// tavik-hpc2k: the Yomitoki host program.  No command-line options are read.
#include <QApplication>

#include "host/host_dialogs.h"
#include "host/tavik_app.h"
#include "platform/qt_message_box.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavik-hpc2k"));
  QApplication::setOrganizationName(QStringLiteral("Vantor Studio"));
  platform::InstallQtMessageBoxes(nullptr);
  yk::CTavikApp app;
  app.AddExtension(yk::InstallHostDialogs);
  if (!app.InitInstance({})) return 0;
  return QApplication::exec();
}
