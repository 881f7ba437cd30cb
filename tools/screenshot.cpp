// screenshot — starts the organizer on a program folder exactly as the program does (same
// application object, same dialogs), with the clock set to a given date, and saves a
// picture of its main window once the window is on the screen and drawn.
//
//   yk_screenshot PROGRAM_FOLDER YYYY-MM-DD OUT.png [view | search TEXT | forecast PAGE]
//
// "view" saves only the 800 x 600 organizer view instead of the whole main window.
// "search TEXT" double-taps the search window, searches the month for TEXT and saves the
// main window with the search dialog and the results list over it (each dialog with a
// plain title strip, since Xvfb runs no window manager to draw one).  "forecast PAGE" plays
// the forecast site: PAGE (a forecast page in CP932) is served from 127.0.0.1, the weather
// window's page address is pointed there, and the window's 更新 is tapped before the
// picture is taken, so it shows the forecast read from that page.  The settings come from
// XDG_CONFIG_HOME as usual; tools/take_screenshots.sh prepares them and runs this under
// Xvfb.
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <memory>
#include <vector>

#include "host/dialog_commands.h"
#include "host/main_frame.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/qt_message_box.h"
#include "platform/testing/local_http_server.h"
#include "platform/testing/modal_script.h"
#include "platform/text_codec.h"

namespace {

// The main window with dialogs over it, each under a title strip.
QPixmap Compose(QWidget* frame, const std::vector<QDialog*>& dialogs) {
  constexpr int kStrip = 22;
  QPixmap picture = frame->grab();
  QPainter painter(&picture);
  for (QDialog* dialog : dialogs) {
    const QPoint at = dialog->geometry().topLeft() - frame->geometry().topLeft();
    const QRect strip(at.x(), at.y() - kStrip, dialog->width(), kStrip);
    painter.fillRect(strip, QColor(0x3B, 0x5F, 0x9E));
    painter.setPen(Qt::white);
    painter.drawText(strip.adjusted(8, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     dialog->windowTitle());
    painter.drawPixmap(at, dialog->grab());
    painter.setPen(QColor(0x3B, 0x5F, 0x9E));
    painter.drawRect(QRect(strip.topLeft(), QSize(dialog->width(), dialog->height() + kStrip))
                         .adjusted(0, 0, -1, -1));
  }
  return picture;
}

// Searches the month for `text` through the search window and photographs the results.
bool ShootSearch(yk::CTavikApp& app, const QString& text, const QString& out) {
  const HostContext& host = *app.view()->session().host();
  int position = -1;
  for (int p = 0; p < host.windowCount; ++p)
    if (host.slots[host.order[p]].name.get() == u"検索・置換え屋") position = p;
  if (position < 0) {
    std::fprintf(stderr, "no search window\n");
    return false;
  }
  const PluginSlot& slot = host.slots[host.order[position]];
  QWidget* frame = app.frame();
  const QPoint origin = frame->geometry().topLeft();
  bool saved = false;
  QDialog* search = nullptr;
  platform::testing::ModalScript script;
  script
      .Expect(QStringLiteral("検索・置換"),
              [&](QDialog* dialog) {
                search = dialog;
                dialog->move(origin + QPoint(250, 320));
                dialog->findChild<QLineEdit*>(QStringLiteral("1006"))->setText(text);
                dialog->findChild<QPushButton*>(QStringLiteral("1008"))->click();
                dialog->reject();
              })
      .Expect(QStringLiteral("検索結果"), [&](QDialog* results) {
        results->move(origin + QPoint(520, 230));
        if (auto* list = results->findChild<QListWidget*>(QStringLiteral("1016")))
          list->setCurrentRow(1);
        QApplication::processEvents();
        saved = Compose(frame, {search, results}).save(out, "PNG");
        results->reject();
      });
  platform::testing::DoubleTapAt(app.view(), QPoint(slot.left + slot.width / 2, slot.top + 120));
  if (!script.done()) std::fprintf(stderr, "the search dialogs did not open\n");
  return saved;
}

// Taps the update button of the first weather window; its download dialog runs and closes
// by itself once the page is read.
bool TapWeatherUpdate(yk::CTavikApp& app) {
  const HostContext& host = *app.view()->session().host();
  for (int p = 0; p < host.windowCount; ++p) {
    const PluginSlot& slot = host.slots[host.order[p]];
    if (slot.name.get() != u"天気予報") continue;
    QTest::mouseClick(app.view(), Qt::LeftButton, {}, QPoint(slot.left + 20, slot.top + 30));
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(
        stderr,
        "usage: %s PROGRAM_FOLDER YYYY-MM-DD OUT.png [view | search TEXT | forecast PAGE]\n",
        argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tavik-hpc2k"));
  QApplication::setOrganizationName(QStringLiteral("Vantor Studio"));
  platform::InstallQtMessageBoxes();

  const QDate date = QDate::fromString(QString::fromLocal8Bit(argv[2]), Qt::ISODate);
  if (!date.isValid()) {
    std::fprintf(stderr, "not a date: %s\n", argv[2]);
    return 2;
  }
  platform::SetClockOverride(
      platform::LocalTime{date.year(), date.month(), date.day(), 9, 0, 0, date.dayOfWeek() % 7});

  // The forecast site: the page served from 127.0.0.1 and the weather window pointed at it.
  std::unique_ptr<platform::testing::LocalHttpServer> site;
  if (argc > 5 && QByteArray(argv[4]) == "forecast") {
    QFile page(QString::fromLocal8Bit(argv[5]));
    if (!page.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "cannot read %s\n", argv[5]);
      return 2;
    }
    site = std::make_unique<platform::testing::LocalHttpServer>(
        std::vector{platform::testing::HttpReply::Page(page.readAll().toStdString())});
    (void)platform::OpenSettingsProfile()->WriteString(
        u"plugin_tvc_tenki", u"url", platform::Utf8ToUtf16(site->Address("/yoho/tokyo.html")));
  }

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
  if (site && !TapWeatherUpdate(app)) {
    std::fprintf(stderr, "no weather window to update\n");
    return 1;
  }
  QApplication::processEvents();
  const QString out = QString::fromLocal8Bit(argv[3]);
  if (argc > 5 && QByteArray(argv[4]) == "search") {
    const bool saved = ShootSearch(app, QString::fromLocal8Bit(argv[5]), out);
    (void)app.frame()->RunCommand(yk::kCommandExit);
    if (!saved) std::fprintf(stderr, "could not write %s\n", argv[3]);
    return saved ? 0 : 1;
  }
  const bool viewOnly = argc > 4 && QByteArray(argv[4]) == "view";
  const QPixmap shot = viewOnly ? app.view()->grab() : frame->grab();
  if (!shot.save(out, "PNG")) {
    std::fprintf(stderr, "could not write %s\n", argv[3]);
    return 1;
  }
  (void)app.frame()->RunCommand(yk::kCommandExit);
  return 0;
}
