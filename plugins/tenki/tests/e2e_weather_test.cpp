// The weather window as a user gets it: the build installed into a program folder of its
// own, the host started on that folder offscreen with settings and data in temporary
// folders, and a forecast site played by a server on 127.0.0.1 (the installed area list's
// base address points there).  In a weather window of the saved layout an area and a city
// are chosen in the area dialog, 更新 downloads and shows the forecast through the download
// dialog, 適用 stamps it into the calendar's icon file, and after a restart the window shows
// the same forecast again.  Both dialogs belong to the organizer's main window, whichever
// window has the keyboard when they open.  The quick menu finds the installed plugin too.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QWidget>
#include <map>

#include "host/tests/installed_program.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/local_http_server.h"
#include "platform/testing/modal_script.h"
#include "plugins/tenki/tests/modal_watchdog.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::FindControl;
using platform::testing::HttpReply;
using platform::testing::LocalHttpServer;
using platform::testing::ModalScript;
using testing::DarkPixels;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

constexpr char16_t kWeatherName[] = u"天気予報";

std::string PageInCp932(const char* name) {
  const std::vector<uint8_t> utf8 = testing::ReadBytes(fs::path(YK_TENKI_PAGES) / name);
  return platform::Utf16ToCp932(
      platform::Utf8ToUtf16({reinterpret_cast<const char*>(utf8.data()), utf8.size()}));
}

int32_t IntAt(const std::vector<uint8_t>& bytes, size_t at) {
  return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 |
                 uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24);
}

// The parent window of each dialog shown while it lives, by template number.  The download
// dialog closes by itself as soon as its page is in, so it is caught as it is shown.
class DialogParents : public QObject {
 public:
  DialogParents() { qApp->installEventFilter(this); }
  ~DialogParents() override { qApp->removeEventFilter(this); }
  DialogParents(const DialogParents&) = delete;
  DialogParents& operator=(const DialogParents&) = delete;

  // Null when no dialog of that number was shown.
  QWidget* ParentOf(const char* id) const {
    const auto found = parents_.find(QString::fromUtf8(id));
    return found == parents_.end() ? nullptr : found->second;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog != nullptr && event->type() == QEvent::Show)
      parents_[dialog->objectName()] = dialog->parentWidget();
    return false;
  }

 private:
  std::map<QString, QWidget*> parents_;
};

class InstalledWeather : public testing::InstalledProgramTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(InstalledProgramTest::SetUp());
    ASSERT_TRUE(fs::is_regular_file(pluginFile()));
    ASSERT_TRUE(fs::is_regular_file(listFile())) << "the area list was not installed";
  }

  fs::path listFile() const { return prefix() / "plugin" / "tvk_tenki.lst"; }
  fs::path pluginFile() const { return prefix() / "plugin" / "tvk_tenki_hpc2karm.plg"; }

  // The installed list, with its base address moved to `server`.
  void PointListAt(const LocalHttpServer& server) {
    const std::vector<uint8_t> bytes = testing::ReadBytes(listFile());
    std::string list(bytes.begin(), bytes.end());
    const std::string shipped = "baseurl http://www.soramoyo.example.jp/yoho/";
    const size_t at = list.find(shipped);
    ASSERT_NE(at, std::string::npos);
    list.replace(at, shipped.size(), "baseurl " + server.Address("/yoho/"));
    testing::WriteBytes(listFile(), std::vector<uint8_t>(list.begin(), list.end()));
  }

  // The text rows of the window at p, inside its borders.
  QRect TextArea(int p) {
    const QRect r = WindowRect(p);
    return QRect(r.left() + 4, r.top() + 42, std::min(r.width(), 304) - 8,
                 std::min(r.height(), 372) - 60);
  }
  void Tap(QPoint at) { QTest::mouseClick(&view(), Qt::LeftButton, {}, at); }
};

TEST_F(InstalledWeather, ForecastDownloadedShownStampedAndKeptOverARestart) {
  HttpReply page = HttpReply::Page(PageInCp932("forecast_full.html"), 200, 800);
  page.pause = std::chrono::milliseconds(1);
  LocalHttpServer server({page});
  ASSERT_NO_FATAL_FAILURE(PointListAt(server));
  {
    // One window with the weather plugin, as a layout the user left.
    QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    const std::pair<const char*, QString> layout[] = {
        {"setting/win_num", "1"},
        {"setting/winleft0", "10"},
        {"setting/wintop0", "10"},
        {"setting/winwidth0", "300"},
        {"setting/winheight0", "420"},
        {"setting/winplg0", QString::fromStdString(pluginFile().string())},
    };
    for (const auto& [key, value] : layout) seed.setValue(key, value);
    seed.sync();
  }
  ASSERT_NO_FATAL_FAILURE(Start());
  const int p = 0;
  ASSERT_EQ(host().windowCount, 1);
  ASSERT_EQ(SlotAt(p).name.get(), kWeatherName);
  const QRect window = WindowRect(p);
  const int hint = DarkPixels(Shown(), TextArea(p));
  EXPECT_GT(hint, 0) << "the hint to choose an area";

  // Another window of the program has the keyboard: the dialogs still open over the main
  // window, as its children, and take the keyboard from that other window.
  QWidget other;
  other.setWindowTitle(QStringLiteral("other"));
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }, 5000));
  DialogParents parents;

  // プラグイン › 設定: the area dialog lists the installed areas; 関東 and 東京 are chosen.
  ModalScript chooseArea([&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("天気地域の設定"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }, 5000))
        << "the area dialog has the keyboard";
    auto* areas = FindControl<QComboBox>(dialog, 1000);
    auto* cities = FindControl<QListWidget>(dialog, 1001);
    ASSERT_NE(areas, nullptr);
    ASSERT_NE(cities, nullptr);
    EXPECT_EQ(areas->count(), 10);
    const int kanto = areas->findText(QStringLiteral("関東"));
    ASSERT_GE(kanto, 0);
    areas->setCurrentIndex(kanto);
    const QList<QListWidgetItem*> tokyo =
        cities->findItems(QStringLiteral("東京"), Qt::MatchExactly);
    ASSERT_EQ(tokyo.size(), 1);
    cities->setCurrentItem(tokyo.front());
    QTest::mouseClick(FindControl<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  app_->frame()->Command(kCommandPluginConfig)->trigger();
  ASSERT_TRUE(chooseArea.done()) << "the plugin's settings opened no dialog";

  // 更新: the download dialog fetches the page and closes by itself.
  {
    tenki::testing::ModalWatchdog watchdog;
    Tap(window.topLeft() + QPoint(20, 30));
    EXPECT_FALSE(watchdog.fired()) << "the download dialog did not close by itself";
  }
  EXPECT_EQ(parents.ParentOf("3008"), app_->frame()) << "the area dialog";
  EXPECT_EQ(parents.ParentOf("3009"), app_->frame()) << "the download dialog";
  EXPECT_TRUE(recorder_.texts().empty())
      << "unexpected message: " << platform::Utf16ToUtf8(recorder_.texts().front());
  ASSERT_EQ(server.requests().size(), 1u);
  const std::string request = server.requests()[0];
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /yoho/tokyo.html HTTP/1.1");
  EXPECT_TRUE(fs::is_regular_file(prefix() / "plugin" / "tvk_tenki.tdt"));
  EXPECT_EQ(fs::file_size(prefix() / "plugin" / "tvk_tenki.tdt"), 572u);
  const QImage forecast = Shown();
  EXPECT_GT(DarkPixels(forecast, TextArea(p)), hint * 3) << "the forecast's lines";

  // 適用, confirmed: today (7 May, 晴時々曇) gets sun, at-times and cloud.
  Tap(window.topLeft() + QPoint(60, 30));
  EXPECT_EQ(recorder_.texts(), std::vector<std::u16string>{u"天気をアイコンに反映させますか？"});
  const std::vector<uint8_t> icons =
      testing::ReadBytes(prefix() / "data" / "2004" / "5" / "icons.dat");
  ASSERT_EQ(icons.size(), 11160u);
  const size_t today = 6 * 360;
  EXPECT_EQ(IntAt(icons, today + 300), 1) << "sun first";
  EXPECT_EQ(IntAt(icons, today + 320), 1) << "at times";
  EXPECT_EQ(IntAt(icons, today + 332), 1) << "cloud second";
  EXPECT_EQ(IntAt(icons, today + 304), 0);
  EXPECT_EQ(IntAt(icons, 12 * 360 + 316), 1) << "13 May: 曇後雪, then";
  ASSERT_NO_FATAL_FAILURE(Quit());
  {
    QSettings stored(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    EXPECT_EQ(stored.value("plugin_tvc_tenki/area").toString(), QStringLiteral("関東：東京"));
    EXPECT_EQ(stored.value("plugin_tvc_tenki/url").toString(),
              QString::fromStdString(server.Address("/yoho/tokyo.html")));
  }

  // Started again: the window comes back with the same forecast, read from its file.
  recorder_.Clear();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(SlotAt(p).name.get(), kWeatherName);
  EXPECT_EQ(WindowRect(p), window);
  EXPECT_EQ(Shown().copy(window), forecast.copy(window));
  EXPECT_TRUE(recorder_.texts().empty());
  ASSERT_NO_FATAL_FAILURE(Quit());
  EXPECT_EQ(server.requests().size(), 1u) << "nothing downloaded at start";
}

// クイック › その他 › 天気予報 opens the installed weather plugin in a maximised window.
TEST_F(InstalledWeather, QuickMenuOpensTheWeatherWindow) {
  ASSERT_NO_FATAL_FAILURE(Start());
  QAction* quick = app_->frame()->Command(kCommandQuickWeather);
  ASSERT_NE(quick, nullptr);
  quick->trigger();
  const int p = host().windowCount - 1;
  EXPECT_EQ(SlotAt(p).name.get(), kWeatherName);
  EXPECT_EQ(host().maximized, p);
  EXPECT_GT(DarkPixels(Shown(), TextArea(p)), 0) << "the hint to choose an area";
  EXPECT_TRUE(recorder_.texts().empty());
  ASSERT_NO_FATAL_FAILURE(Quit());
}

}  // namespace
}  // namespace yk
