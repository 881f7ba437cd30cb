// tavik-hpc2k: the Yomitoki host program.  No command-line options are read.
#include <QApplication>

#include "host/tavik_app.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavik-hpc2k"));
  QApplication::setOrganizationName(QStringLiteral("Vantor Studio"));
  yk::CTavikApp app;
  if (!app.InitInstance({})) return 0;
  return QApplication::exec();
}
