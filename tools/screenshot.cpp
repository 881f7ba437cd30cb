// screenshot — starts the organizer on a program folder exactly as the program does (same
// application object, same dialogs), with the clock set to a given date, and saves a
// picture of its main window once the window is on the screen and drawn.
//
//   yk_screenshot PROGRAM_FOLDER YYYY-MM-DD OUT.png [view] [forecast PAGE]
//
// "view" saves only the 800 x 600 organizer view instead of the whole main window.
// "forecast PAGE" plays the forecast site: PAGE (a forecast page in CP932) is served from
// 127.0.0.1, the weather window's page address is pointed there, and the window's 更新
// is tapped before the picture is taken, so it shows the forecast read from that page.
// The settings come from XDG_CONFIG_HOME as usual; tools/take_screenshots.sh prepares them
// and runs this under Xvfb.
#include <QApplication>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <cstdio>
#include <memory>

#include "host/host_dialogs.h"
#include "host/main_frame.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/qt_message_box.h"
#include "platform/testing/local_http_server.h"
#include "platform/text_codec.h"

namespace {

constexpr char16_t kWeatherName[] = u"天気予報";

// Taps the update button of the first weather window; its download dialog runs and closes
// by itself once the page is read.
bool TapWeatherUpdate(yk::CTavikApp& app) {
  const HostContext& host = *app.view()->session().host();
  for (int p = 0; p < host.windowCount; ++p) {
    const PluginSlot& slot = host.slots[host.order[p]];
    if (slot.name.get() != kWeatherName) continue;
    QTest::mouseClick(app.view(), Qt::LeftButton, {}, QPoint(slot.left + 20, slot.top + 30));
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s PROGRAM_FOLDER YYYY-MM-DD OUT.png [view] [forecast PAGE]\n",
                 argv[0]);
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

  bool viewOnly = false;
  std::unique_ptr<platform::testing::LocalHttpServer> site;
  for (int i = 4; i < argc; ++i) {
    const QByteArray option = argv[i];
    if (option == "view") {
      viewOnly = true;
    } else if (option == "forecast" && i + 1 < argc) {
      QFile page(QString::fromLocal8Bit(argv[++i]));
      if (!page.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[i]);
        return 2;
      }
      site = std::make_unique<platform::testing::LocalHttpServer>(
          std::vector{platform::testing::HttpReply::Page(page.readAll().toStdString())});
      const auto profile = platform::OpenSettingsProfile();
      (void)profile->WriteString(u"plugin_tvc_tenki", u"url",
                                 platform::Utf8ToUtf16(site->Address("/yoho/tokyo.html")));
    } else {
      std::fprintf(stderr, "unknown option %s\n", argv[i]);
      return 2;
    }
  }

  QString folder = QString::fromLocal8Bit(argv[1]);
  if (!folder.endsWith('/')) folder += '/';
  yk::CTavikApp app;
  app.AddExtension(yk::InstallHostDialogs);
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
  const QPixmap shot = viewOnly ? app.view()->grab() : frame->grab();
  if (!shot.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "could not write %s\n", argv[3]);
    return 1;
  }
  (void)app.frame()->RunCommand(yk::kCommandExit);
  return 0;
}
