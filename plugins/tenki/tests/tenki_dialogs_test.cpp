// The two dialogs of the weather window, driven through their controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>

#include "platform/qt_data_exchange.h"
#include "platform/testing/local_http_server.h"
#include "platform/testing/message_recorder.h"
#include "plugins/tenki/area_dialog.h"
#include "plugins/tenki/download_dialog.h"
#include "plugins/tenki/tests/modal_watchdog.h"
#include "plugins/tenki/tests/tenki_test_support.h"

namespace yk::tenki {
namespace {

using namespace std::chrono_literals;
using platform::FindControl;
using platform::testing::HttpReply;
using platform::testing::LocalHttpServer;
using platform::testing::MessageRecorder;

QString Status(QDialog* dialog) {
  return FindControl<QLineEdit>(dialog, DownloadDialog::kStatus)->text();
}

// Calls `step` on the modal dialog every few milliseconds while it is up (from inside its
// modal loop, as a user's clicks arrive) until `step` answers true.
class WhileModal {
 public:
  explicit WhileModal(std::function<bool(QDialog*)> step) : step_(std::move(step)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog != nullptr && step_(dialog)) poll_.stop();
    });
    poll_.start(5);
  }

 private:
  std::function<bool(QDialog*)> step_;
  QTimer poll_;
};

class DownloadDialogTest : public ::testing::Test {
 protected:
  DownloadSettings Settings(const std::string& url) const {
    DownloadSettings s;
    s.url = QString::fromStdString(url).toStdU16String();
    s.tempFile = host_.plugin() / "tvk_tenki.tmp";
    return s;
  }
  testing::TenkiHost host_;
  MessageRecorder messages_;
};

TEST_F(DownloadDialogTest, DownloadsAndClosesByItself) {
  LocalHttpServer server({HttpReply::Page(std::string(50 * 1024, 'x'), 200, 4000)});
  DownloadDialog dialog(Settings(server.Address("/yoho/tokyo.html")));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ダウンロード"));
  ASSERT_NE(FindControl<QPushButton>(&dialog, DownloadDialog::kCancel), nullptr);
  EXPECT_EQ(FindControl<QPushButton>(&dialog, DownloadDialog::kCancel)->text(),
            QStringLiteral("キャンセル"));
  EXPECT_TRUE(FindControl<QLineEdit>(&dialog, DownloadDialog::kStatus)->isReadOnly());
  testing::ModalWatchdog watchdog;
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_TRUE(dialog.download().succeeded());
  EXPECT_EQ(Status(&dialog), QStringLiteral("ファイル取得に成功しました"));
  auto* bar = FindControl<QProgressBar>(&dialog, DownloadDialog::kProgress);
  EXPECT_EQ(bar->maximum(), 14);
  EXPECT_EQ(bar->value(), 14) << "40 reads against a range of 14 show a full bar";
  EXPECT_EQ(dialog.download().progress(), 40);
}

// The server sends the head and then nothing: "キャンセル" is honoured at once, the dialog
// stays open with the status, and a second press closes it.
TEST_F(DownloadDialogTest, CancelIsHonouredWhileTheServerIsSilent) {
  HttpReply silent = HttpReply::Page("<HTML>\n");
  silent.stall = true;
  LocalHttpServer server({silent});
  DownloadSettings settings = Settings(server.Address("/yoho/tokyo.html"));
  settings.limits.stall = 60s;
  DownloadDialog dialog(settings);
  int presses = 0;
  QString afterCancel;
  auto pressed = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration honoured{};
  WhileModal user([&](QDialog* shown) {
    auto* cancel = FindControl<QPushButton>(shown, DownloadDialog::kCancel);
    if (presses == 0 && Status(shown) == QStringLiteral("ダウンロード中")) {
      QTest::keyClick(shown, Qt::Key_Escape);  // Escape asks the same as the button
      EXPECT_TRUE(shown->isVisible());
      pressed = std::chrono::steady_clock::now();
      ++presses;
    } else if (presses == 1 && Status(shown) == QStringLiteral("中断されました")) {
      honoured = std::chrono::steady_clock::now() - pressed;
      afterCancel = Status(shown);
      EXPECT_TRUE(shown->isVisible()) << "a cancelled download leaves the dialog open";
      QTest::mouseClick(cancel, Qt::LeftButton);
      ++presses;
      return true;
    }
    return false;
  });
  const auto start = std::chrono::steady_clock::now();
  testing::ModalWatchdog watchdog;
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_FALSE(watchdog.fired());
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(afterCancel, QStringLiteral("中断されました"));
  EXPECT_LT(honoured, 5s) << "seen long before the 60-second stall limit";
  EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
  EXPECT_FALSE(dialog.download().succeeded());
}

TEST_F(DownloadDialogTest, FailuresStayInTheStatusLine) {
  DownloadDialog dialog(Settings("http://127.0.0.1/yoho/"));
  WhileModal user([&](QDialog* shown) {
    if (Status(shown) != QStringLiteral("URLが無効です")) return false;
    QTest::mouseClick(FindControl<QPushButton>(shown, DownloadDialog::kCancel), Qt::LeftButton);
    return true;
  });
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_TRUE(dialog.download().finished());
  EXPECT_TRUE(messages_.texts().empty());
}

class AreaDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFile(
        listFile(), testing::Cp932("baseurl http://h/yoho/\r\n"
                                   "category:北海道\r\nsapporo.html 札幌\r\nhakodate.html 函館\r\n"
                                   "category:関東\r\ntokyo.html 東京\r\nchiba.html 千葉\r\n"
                                   "mito.html 水戸\r\n"));
  }
  std::filesystem::path listFile() const { return host_.plugin() / "tvk_tenki.lst"; }
  static QStringList Items(QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
  }
  static QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
  }
  testing::TenkiHost host_;
  MessageRecorder messages_;
};

TEST_F(AreaDialogTest, ChoosesAnAreaAndACity) {
  AreaDialog dialog(listFile(), 1, 2);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("天気地域の設定"));
  auto* areas = FindControl<QComboBox>(&dialog, AreaDialog::kAreaCombo);
  auto* cities = FindControl<QListWidget>(&dialog, AreaDialog::kCityList);
  ASSERT_NE(areas, nullptr);
  ASSERT_NE(cities, nullptr);
  EXPECT_EQ(Items(areas), (QStringList{"北海道", "関東"}));
  EXPECT_EQ(areas->currentIndex(), 1);
  EXPECT_EQ(Items(cities), (QStringList{"東京", "千葉", "水戸"}));
  EXPECT_EQ(cities->currentRow(), 2);
  EXPECT_EQ(dialog.selection().label, u"関東：水戸");

  areas->setCurrentIndex(0);
  EXPECT_EQ(Items(cities), (QStringList{"札幌", "函館"}));
  EXPECT_EQ(cities->currentRow(), 0) << "the first city of the new area";
  cities->setCurrentRow(1);
  QTest::mouseClick(FindControl<QPushButton>(&dialog, AreaDialog::kOk), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const AreaSelection chosen = dialog.selection();
  EXPECT_EQ(chosen.area, 0);
  EXPECT_EQ(chosen.city, 1);
  EXPECT_EQ(chosen.label, u"北海道：函館");
  EXPECT_EQ(chosen.url, u"http://h/yoho/hakodate.html");
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(AreaDialogTest, RunsModallyAndCancels) {
  WhileModal cancel([](QDialog* shown) {
    QTest::mouseClick(FindControl<QPushButton>(shown, AreaDialog::kCancel), Qt::LeftButton);
    return true;
  });
  EXPECT_FALSE(RunAreaDialog(listFile(), 0, 0, nullptr));
  WhileModal ok([](QDialog* shown) {
    QTest::mouseClick(FindControl<QPushButton>(shown, AreaDialog::kOk), Qt::LeftButton);
    return true;
  });
  auto chosen = RunAreaDialog(listFile(), 0, 0, nullptr);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(chosen->url, u"http://h/yoho/sapporo.html");
}

TEST_F(AreaDialogTest, MissingListIsReported) {
  std::filesystem::remove(listFile());
  AreaDialog dialog(listFile(), 0, 0);
  EXPECT_EQ(messages_.texts(), std::vector<std::u16string>{u"設定ファイルが見つかりません"});
  EXPECT_EQ(FindControl<QComboBox>(&dialog, AreaDialog::kAreaCombo)->count(), 0);
  const AreaSelection chosen = dialog.selection();
  EXPECT_TRUE(chosen.label.empty());
  EXPECT_TRUE(chosen.url.empty());
}

}  // namespace
}  // namespace yk::tenki
