// The organizer as a user gets it: the build installed into a program folder of its own,
// the host started on that folder offscreen with its settings and data in temporary
// folders, the schedule plugin chosen through the window's plugin button and the selection
// dialog, a schedule typed into the edit dialog and added, and a restart that brings the
// window back with its plugin and the schedule; then the everyday change: a double tap on
// an entry, its text edited, "修正".
//
// The host runs in this process (the same libraries the installed program is made of) so
// that the dialogs can be found by their control ids; everything it loads comes from the
// installed folder: the parts sheet, the plugin and its skin.  Dialogs are driven from
// inside their own modal loop as soon as they are open; nothing waits on a clock.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "common/schedule_dialog.h"
#include "host/host_dialogs.h"
#include "host/main_frame.h"
#include "host/plugin_select_dialog.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "host/tests/installed_program.h"
#include "host/tests/modal_driver.h"
#include "platform/clock.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"
#include "platform/text_codec.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::FindControl;
using platform::testing::MessageRecorder;
using testing::DarkPixels;
using testing::ModalDriver;
using testing::StampOf;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

constexpr char16_t kScheduleName[] = u"スケジュール";
constexpr int kDayLevel = 3;  // Years, Months, Days, Day

// Types `text` into the focused widget the way an input method commits Japanese text.
void CommitText(QWidget* widget, const QString& text) {
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(widget, &commit);
}

// A double tap as a desktop delivers it: press, release, then the second press followed by
// the double-click event, and the release.
void DoubleTap(QWidget* widget, QPoint at) {
  QTest::mouseClick(widget, Qt::LeftButton, {}, at);
  QTest::mousePress(widget, Qt::LeftButton, {}, at);
  QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
  QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

// A UTF-16LE file (no byte-order mark) as UTF-8, or a note when its length is odd.
std::string ReadUtf16LeFile(const fs::path& file) {
  const std::vector<uint8_t> bytes = testing::ReadBytes(file);
  if (bytes.size() % 2 != 0) return "<odd length>";
  std::u16string text;
  for (size_t i = 0; i < bytes.size(); i += 2)
    text.push_back(char16_t(bytes[i] | bytes[i + 1] << 8));
  return platform::Utf16ToUtf8(text);
}

void WriteUtf16LeFile(const fs::path& file, const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t unit : text) {
    bytes.push_back(uint8_t(unit & 0xFF));
    bytes.push_back(uint8_t(unit >> 8));
  }
  testing::WriteBytes(file, bytes);
}

class InstalledOrganizer : public testing::InstalledProgramTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(InstalledProgramTest::SetUp());
    ASSERT_TRUE(fs::is_regular_file(pluginFile())) << "the schedule plugin was not installed";
  }

  fs::path runtime() const { return root_.path() / "run"; }
  fs::path pluginFile() const { return prefix() / "plugin" / "tvk_sched_hpc2karm.plg"; }
  fs::path dayFile() const { return prefix() / "data" / "2004" / "5" / "7" / "sched.txt"; }

  // Runs the installed program itself on the same folders until its start is complete (it
  // writes "firsttime" at the end of the initial update, after restoring the windows),
  // then ends it as the desktop would (SIGTERM: an orderly end that saves the layout).
  void RunInstalledProgram() {
    fs::create_directories(runtime());
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config().string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime().string()));
    env.insert("TMPDIR", QString::fromStdString(runtime().string()));
    env.remove("LD_LIBRARY_PATH");
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    const auto before = StampOf(settingsFile());
    program.start(QString::fromStdString((prefix() / "tavik-hpc2k").string()), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return StampOf(settingsFile()) != before || program.state() != QProcess::Running; },
        60000));
    ASSERT_EQ(program.state(), QProcess::Running) << "the installed program ended by itself";
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
  }

  // The content rows of the window at p, inside its borders and clear of the resize grip.
  QRect ContentArea(int p) {
    const QRect r = WindowRect(p);
    return QRect(r.left() + 4, r.top() + 61, r.width() - 20, r.height() - 75);
  }
};

TEST_F(InstalledOrganizer, ScheduleAddedThroughTheDialogsSurvivesARestart) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(host().windowCount, 1) << "a fresh install opens one empty window";
  ASSERT_EQ(SlotAt(0).loaded, 0);
  const QRect window = WindowRect(0);

  // The plugin button at the window's top-left corner opens the selection dialog.
  std::u16string listed;
  ModalDriver choosePlugin([&](QDialog* dialog) {
    auto* list = FindControl<QListWidget>(dialog, PluginSelectDialog::kPluginList);
    ASSERT_NE(list, nullptr);
    const QList<QListWidgetItem*> found =
        list->findItems(QString::fromStdU16String(kScheduleName), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found.front());
    listed = found.front()->text().toStdU16String();
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
  });
  QTest::mouseClick(&view(), Qt::LeftButton, {}, window.topLeft() + QPoint(8, 8));
  ASSERT_TRUE(choosePlugin.ran()) << "the plugin button opened no dialog";
  ASSERT_EQ(listed, kScheduleName);
  ASSERT_EQ(SlotAt(0).loaded, 1);
  EXPECT_EQ(SlotAt(0).name.get(), kScheduleName);
  EXPECT_EQ(SlotAt(0).path.get(), platform::Utf8ToUtf16(pluginFile().string()));

  const QImage emptyDay = Shown();
  EXPECT_EQ(DarkPixels(emptyDay, ContentArea(0)), 0) << "an empty day shows only grey text";

  // "新規" in the plugin's tool bar opens the edit dialog on the shared date.
  const QString typed = QStringLiteral("打ち合わせ 3F");
  ModalDriver addSchedule([&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("スケジュール"));
    const QWidget* datePage = FindControl<QWidget>(dialog, kDatePageId);
    ASSERT_NE(datePage, nullptr);
    const std::pair<int, const char*> dates[] = {{1010, "2004"}, {1011, "5"}, {1012, "7"},
                                                 {1013, "2004"}, {1014, "5"}, {1015, "7"}};
    for (const auto& [id, text] : dates) {
      auto* box = FindControl<QLineEdit>(datePage, id);
      ASSERT_NE(box, nullptr) << id;
      EXPECT_EQ(box->text(), QString::fromUtf8(text)) << id;
    }
    auto* tabs = FindControl<QTabBar>(dialog, 1000);
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    ASSERT_EQ(tabs->currentIndex(), 1);
    auto* text = FindControl<QPlainTextEdit>(FindControl<QWidget>(dialog, kTextPageId), 1012);
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(text->isVisible());
    text->setFocus();
    CommitText(text, typed.left(5));
    QTest::keyClicks(text, typed.mid(5));
    ASSERT_EQ(text->toPlainText(), typed);
    QTest::mouseClick(FindControl<QPushButton>(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
  });
  QTest::mouseClick(&view(), Qt::LeftButton, {}, window.topLeft() + QPoint(100, 30));
  ASSERT_TRUE(addSchedule.ran()) << "新規 opened no dialog";
  EXPECT_TRUE(recorder_.texts().empty())
      << "unexpected message: " << platform::Utf16ToUtf8(recorder_.texts().front());

  // The day's file holds exactly the new line: all day, one continuous span.
  const std::u16string line =
      u"(2004,05,07,00,00 2004,05,07,00,00 -1)(" + typed.toStdU16String() + u")\r\n";
  EXPECT_EQ(ReadUtf16LeFile(dayFile()), platform::Utf16ToUtf8(line));

  // The store emptied the day's cache level when it wrote; the broadcast made the window
  // collect the day again, so the shared cache holds the record once more.
  const ScheduleStore& cache = host().schedules;
  ASSERT_EQ(cache.counts[kDayLevel], 1);
  const ScheduleRecord& cached = cache.records[kScheduleCacheSlots - 50];
  EXPECT_EQ(std::u16string(cached.text), typed.toStdU16String());

  // ... and drew it: the grey "予定無し" gave way to the entry's glyphs and black text.
  const QImage oneEntry = Shown();
  EXPECT_GT(DarkPixels(oneEntry, ContentArea(0)), 20);
  EXPECT_NE(oneEntry.copy(window), emptyDay.copy(window));

  ASSERT_NO_FATAL_FAILURE(Quit());
  {
    QSettings stored(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    EXPECT_EQ(stored.value("setting/win_num").toString(), "1");
    EXPECT_EQ(stored.value("setting/winplg0").toString(),
              QString::fromStdString(pluginFile().string()));
  }

  // Started again: the window comes back with its plugin, which reads the day from the file
  // and shows exactly what was shown before.
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(host().windowCount, 1);
  EXPECT_EQ(SlotAt(0).loaded, 1);
  EXPECT_EQ(SlotAt(0).name.get(), kScheduleName);
  EXPECT_EQ(WindowRect(0), window);
  EXPECT_EQ(host().schedules.counts[kDayLevel], 1);
  EXPECT_EQ(Shown().copy(window), oneEntry.copy(window));
  EXPECT_TRUE(recorder_.texts().empty());
  ASSERT_NO_FATAL_FAILURE(Quit());

  // The installed program brings the window back with its plugin too: a plugin that failed
  // to load would leave the window empty, and the layout it saves would name no plugin.
  ASSERT_NO_FATAL_FAILURE(RunInstalledProgram());
  QSettings stored(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
  EXPECT_EQ(stored.value("setting/win_num").toString(), "1");
  EXPECT_EQ(stored.value("setting/winplg0").toString(),
            QString::fromStdString(pluginFile().string()));
  EXPECT_EQ(stored.value("setting/winheight0").toString(), QString::number(window.height()));
}

// The typical change: a double tap on an entry opens it in the edit dialog, the user edits
// the second line of its text and presses "修正"; the line is rewritten in the day's file
// (taken out, added at the end) and the window shows the new text.
TEST_F(InstalledOrganizer, DoubleTapOnAnEntryEditsItInPlace) {
  const std::u16string dentist = u"(2004,05,07,15,00 2004,05,07,16,00 -1)(歯医者)\r\n";
  WriteUtf16LeFile(dayFile(),
                   u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議__TVRET__A室)\r\n" + dentist);
  {
    QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    const std::pair<const char*, QString> layout[] = {
        {"setting/win_num", "1"},
        {"setting/winleft0", "0"},
        {"setting/wintop0", "0"},
        {"setting/winwidth0", "240"},
        {"setting/winheight0", "300"},
        {"setting/winplg0", QString::fromStdString(pluginFile().string())},
    };
    for (const auto& [key, value] : layout) seed.setValue(key, value);
    seed.sync();
  }
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(host().windowCount, 1);
  ASSERT_EQ(SlotAt(0).name.get(), kScheduleName);
  const QRect window = WindowRect(0);
  const QImage before = Shown();

  // A single tap on the entry does nothing; a double tap opens it.
  {
    ModalDriver unexpected([](QDialog*) {});  // closes whatever opens, so nothing hangs
    QTest::mouseClick(&view(), Qt::LeftButton, {}, window.topLeft() + QPoint(60, 75));
    EXPECT_FALSE(unexpected.ran()) << "a single tap opened a dialog";
  }

  std::u16string opened;
  ModalDriver editEntry([&](QDialog* dialog) {
    auto* modify = FindControl<QPushButton>(dialog, 1027);
    ASSERT_NE(modify, nullptr);
    EXPECT_TRUE(modify->isVisible()) << "an existing entry can be changed";
    auto* tabs = FindControl<QTabBar>(dialog, 1000);
    ASSERT_NE(tabs, nullptr);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto* text = FindControl<QPlainTextEdit>(FindControl<QWidget>(dialog, kTextPageId), 1012);
    ASSERT_NE(text, nullptr);
    opened = text->toPlainText().toStdU16String();
    text->setFocus();
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClick(text, Qt::Key_Backspace);
    QTest::keyClicks(text, QStringLiteral("B"));
    CommitText(text, QStringLiteral("室"));
    QTest::mouseClick(modify, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
  });
  DoubleTap(&view(), window.topLeft() + QPoint(60, 75));
  ASSERT_TRUE(editEntry.ran()) << "the double tap opened no dialog";
  EXPECT_EQ(opened, u"会議\nA室") << "the stored line break comes back as a new line";
  EXPECT_TRUE(recorder_.texts().empty());

  EXPECT_EQ(ReadUtf16LeFile(dayFile()),
            platform::Utf16ToUtf8(dentist +
                                  u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議__TVRET__B室)\r\n"));
  EXPECT_EQ(host().schedules.counts[kDayLevel], 2) << "the window collected the day again";
  EXPECT_NE(Shown().copy(window), before.copy(window));
}

// "クイック" › "その他" › "予定・仕事" finds the installed plugin by its file name and display
// name: the first time it opens a maximised window, the second time it opens no other.
TEST_F(InstalledOrganizer, QuickMenuOpensTheScheduleWindowOnce) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(host().windowCount, 1);
  QAction* quick = app_->frame()->Command(kCommandQuickSchedule);
  ASSERT_NE(quick, nullptr);
  ASSERT_TRUE(quick->isEnabled());

  quick->trigger();
  ASSERT_EQ(host().windowCount, 2);
  EXPECT_EQ(SlotAt(1).name.get(), kScheduleName);
  EXPECT_EQ(host().maximized, 1);
  EXPECT_EQ(WindowRect(1), QRect(0, 0, host().clientWidth, host().clientHeight));
  // The maximised schedule window covers the view: its date header is drawn at the top.
  EXPECT_GT(DarkPixels(Shown(), QRect(2, 40, 60, 10)), 0);

  quick->trigger();
  EXPECT_EQ(host().windowCount, 2) << "the plugin is shown in one window only";
  EXPECT_TRUE(recorder_.texts().empty());
}

}  // namespace
}  // namespace yk
