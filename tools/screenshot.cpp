// screenshot — starts the organizer on a program folder exactly as the program does (same
// application object, same dialogs), with the clock set to a given date, and saves a
// picture of its main window once the window is on the screen and drawn.
//
//   yk_screenshot PROGRAM_FOLDER YYYY-MM-DD OUT.png [view]
//
// "view" saves only the 800 x 600 organizer view instead of the whole main window.  The
// settings come from XDG_CONFIG_HOME as usual; tools/take_screenshots.sh prepares them
// and runs this under Xvfb.
#include <QApplication>
#include <QDate>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "host/dialog_commands.h"
#include "host/main_frame.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "platform/clock.h"
#include "platform/qt_message_box.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s PROGRAM_FOLDER YYYY-MM-DD OUT.png [view]\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavik-hpc2k"));
  QApplication::setOrganizationName(QStringLiteral("Vantor Studio"));
  platform::InstallQtMessageBoxes(nullptr);

  const QDate date = QDate::fromString(QString::fromLocal8Bit(argv[2]), Qt::ISODate);
  if (!date.isValid()) {
    std::fprintf(stderr, "not a date: %s\n", argv[2]);
    return 2;
  }
  platform::SetClockOverride(
      platform::LocalTime{date.year(), date.month(), date.day(), 9, 0, 0, date.dayOfWeek() % 7});

  QString folder = QString::fromLocal8Bit(argv[1]);
  if (!folder.endsWith('/')) folder += '/';
  yk::CTavikApp app;
  app.AddExtension(yk::InstallDialogCommands);
  yk::CTavikApp::Options options;
  options.appFolder = folder.toStdU16String();
  options.singleInstance = false;
  if (!app.InitInstance(options)) {
    std::fprintf(stderr, "the organizer did not start\n");
    return 1;
  }
  QWidget* frame = app.frame();
  if (!QTest::qWaitForWindowExposed(frame)) {
    std::fprintf(stderr, "the main window never came up\n");
    return 1;
  }
  QApplication::processEvents();
  const bool viewOnly = argc > 4 && QByteArray(argv[4]) == "view";
  const QPixmap shot = viewOnly ? app.view()->grab() : frame->grab();
  if (!shot.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "could not write %s\n", argv[3]);
    return 1;
  }
  (void)app.frame()->RunCommand(yk::kCommandExit);
  return 0;
}
