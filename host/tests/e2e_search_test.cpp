// The search window as a user gets it: the build installed into a program folder of its
// own, the host started on it offscreen with a schedule window and a search window, and
// the everyday uses — a replacement over the schedules that the schedule window shows at
// once, a memo edited from the results and a move to its day — checked in the files.
//
// The host runs in this process (the same libraries the installed program is made of) so
// that the dialogs can be found by their control ids; everything it loads comes from the
// installed folder.  Dialogs are driven from inside their own modal loops as they open.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include "host/main_frame.h"
#include "host/plugin_select_dialog.h"
#include "host/tests/app_test_support.h"
#include "host/tests/installed_program.h"
#include "platform/qt_data_exchange.h"
#include "platform/qt_message_box.h"
#include "platform/testing/modal_script.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::FindControl;
using platform::testing::DoubleTapAt;
using platform::testing::ModalScript;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

constexpr char16_t kSearchName[] = u"検索・置換え屋";
constexpr int kDayLevel = 3;  // Years, Months, Days, Day

std::vector<uint8_t> Utf16Lines(std::initializer_list<std::u16string_view> lines) {
  std::vector<uint8_t> bytes;
  for (std::u16string_view line : lines) {
    for (char16_t unit : std::u16string(line) + u"\r\n") {
      bytes.push_back(uint8_t(unit & 0xFF));
      bytes.push_back(uint8_t(unit >> 8));
    }
  }
  return bytes;
}

std::vector<uint8_t> Bytes(std::string_view text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

void Click(QWidget* dialog, int id) {
  auto* button = FindControl<QPushButton>(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  ASSERT_TRUE(button->isVisible()) << id;
  QTest::mouseClick(button, Qt::LeftButton);
}

class InstalledSearch : public testing::InstalledProgramTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(InstalledProgramTest::SetUp());
    ASSERT_TRUE(fs::is_regular_file(plugin("tvk_search_hpc2karm.plg")));
    ASSERT_TRUE(fs::is_regular_file(prefix() / "plugin" / "tvk_search.dat"));

    // A day of schedules, a memo, and a layout: the schedule window on the left, the
    // search window on the right.
    testing::WriteBytes(data() / "2004/5/7/sched.txt",
                        Utf16Lines({u"(2004,05,07,10,00 2004,05,07,11,00 -1)(定例会議)",
                                    u"(2004,05,07,13,00 2004,05,07,14,00 -1)(会議室の予約)"}));
    testing::WriteBytes(data() / "2004/5/3/memo.txt",
                        Bytes("\x89\xEF\x8B\x63\x82\xCC\x83\x81\x83\x82"));
    testing::WriteBytes(data() / "2004/memolist.txt", Utf16Lines({u"05,03"}));
    QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    const std::pair<const char*, QString> layout[] = {
        {"setting/win_num", "2"},
        {"setting/winleft0", "0"},
        {"setting/wintop0", "0"},
        {"setting/winwidth0", "240"},
        {"setting/winheight0", "300"},
        {"setting/winplg0", QString::fromStdString(plugin("tvk_sched_hpc2karm.plg").string())},
        {"setting/winleft1", "260"},
        {"setting/wintop1", "0"},
        {"setting/winwidth1", "240"},
        {"setting/winheight1", "240"},
        {"setting/winplg1", QString::fromStdString(plugin("tvk_search_hpc2karm.plg").string())},
    };
    for (const auto& [key, value] : layout) seed.setValue(key, value);
    seed.sync();
  }

  fs::path data() const { return prefix() / "data"; }
  fs::path plugin(const char* name) const { return prefix() / "plugin" / name; }

  void Start() {
    ASSERT_NO_FATAL_FAILURE(InstalledProgramTest::Start());
    ASSERT_EQ(host().windowCount, 2);
    ASSERT_EQ(SlotAt(1).name.get(), kSearchName) << "the search window came back";
  }

  QPoint InSearchWindow() { return QPoint(SlotAt(1).left + 120, SlotAt(1).top + 120); }
  std::u16string DayCacheText(int index) {
    return host().schedules.records[kScheduleCacheSlots - 50 + index].text;
  }
};

// A double tap on the search window, "会議" replaced by "打合せ" in one of two hits (the
// other toggled to □), and the schedule window shows the change at once.
TEST_F(InstalledSearch, ReplacingInSchedulesRewritesTheFileAndTheScheduleWindowFollows) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_EQ(host().schedules.counts[kDayLevel], 2) << "the schedule window shows 7 May";
  const QImage before = view().grab().toImage();

  QString count;
  QStringList lines;
  ModalScript script;
  script
      .Expect(QStringLiteral("検索・置換"),
              [&](QDialog* dialog) {
                FindControl<QLineEdit>(dialog, 1006)->setText(QStringLiteral("会議"));
                FindControl<QLineEdit>(dialog, 1007)->setText(QStringLiteral("打合せ"));
                Click(dialog, 1009);  // 置換え: search, then the results
                Click(dialog, 2);     // 閉じる
              })
      .Expect(QStringLiteral("検索結果"), [&](QDialog* results) {
        count = FindControl<QLabel>(results, 1022)->text();
        auto* list = FindControl<QListWidget>(results, 1016);
        DoubleTapAt(list->viewport(), list->visualItemRect(list->item(1)).center());
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        Click(results, 1047);  // 置換え実行
      });
  DoubleTapAt(&view(), InSearchWindow());
  ASSERT_TRUE(script.done()) << "the double tap opened no search";
  EXPECT_EQ(count, QStringLiteral("2件見つかりました"));
  EXPECT_EQ(lines, (QStringList{QStringLiteral("■2004.5.7:定例会議..."),
                                QStringLiteral("□2004.5.7:会議室の予約...")}));
  EXPECT_EQ(recorder_.texts(), std::vector<std::u16string>{u"置換えが完了しました"});

  EXPECT_EQ(testing::ReadBytes(data() / "2004/5/7/sched.txt"),
            Utf16Lines({u"(2004,05,07,13,00 2004,05,07,14,00 -1)(会議室の予約)",
                        u"(2004,05,07,10,00 2004,05,07,11,00 -1)(定例打合せ)"}));
  // The plugin answered "data changed"; the schedule window collected its day again.
  EXPECT_EQ(host().changeFlags, kChangeSchedules);
  ASSERT_EQ(host().schedules.counts[kDayLevel], 2);
  EXPECT_EQ(DayCacheText(1), u"定例打合せ");
  EXPECT_NE(view().grab().toImage(), before);
}

// A memo found, opened from the results, changed and saved; then "この日に移動": the
// shared date moves to the memo's day.
TEST_F(InstalledSearch, AMemoIsEditedFromTheResultsAndTheDateMovesToIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  bool editable = false;
  ModalScript script;
  script
      .Expect(QStringLiteral("検索・置換"),
              [&](QDialog* dialog) {
                FindControl<QLineEdit>(dialog, 1006)->setText(QStringLiteral("会議"));
                QTest::mouseClick(FindControl<QRadioButton>(dialog, 1005), Qt::LeftButton);
                Click(dialog, 1008);  // 検索; the move closes the dialog
              })
      .Expect(QStringLiteral("検索結果"),
              [&](QDialog* results) {
                FindControl<QListWidget>(results, 1016)->setCurrentRow(0);
                Click(results, 1017);  // 編集
                Click(results, 1008);  // この日に移動 (answered Yes)
              })
      .Expect(QStringLiteral("メモ・日記"), [&](QDialog* memo) {
        editable = FindControl<QPushButton>(memo, 1)->isVisible();
        auto* text = FindControl<QPlainTextEdit>(memo, 1021);
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("10:00"));
        Click(memo, 1);  // 保存 (the overwrite question answered OK)
      });
  DoubleTapAt(&view(), InSearchWindow());
  ASSERT_TRUE(script.done());
  EXPECT_TRUE(editable);
  EXPECT_EQ(recorder_.texts(),
            (std::vector<std::u16string>{u"2004/5/3のメモに上書き保存します",
                                         u"検索を終了してこの日に移動しますか？"}));
  EXPECT_EQ(testing::ReadBytes(data() / "2004/5/3/memo.txt"),
            Bytes("\x89\xEF\x8B\x63\x82\xCC\x83\x81\x83\x82\r\n10:00"));
  EXPECT_EQ(testing::ReadBytes(data() / "2004/memolist.txt"), Utf16Lines({u"05,03"}));
  EXPECT_EQ((std::array{host().todayYear, host().todayMonth, host().todayDay}),
            (std::array{2004, 5, 3}));
  EXPECT_EQ(host().changeFlags, kChangeDiaryMemos);
  EXPECT_EQ(host().schedules.counts[kDayLevel], 0) << "the schedule window shows 3 May now";
}

// "クイック" › "検索" finds the search window; the selection dialog offers the plugin.
TEST_F(InstalledSearch, TheSelectionDialogAndTheQuickMenuOfferIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  QAction* quick = app_->frame()->Command(kCommandQuickSearch);
  ASSERT_NE(quick, nullptr);
  EXPECT_TRUE(quick->isEnabled());
  quick->trigger();
  EXPECT_EQ(host().windowCount, 2) << "the window that shows it is raised instead";
  EXPECT_EQ(SlotAt(1).name.get(), kSearchName);
  EXPECT_EQ(host().maximized, 1);

  QStringList listed;
  ModalScript script;
  script.Expect(QStringLiteral("プラグインの選択"), [&](QDialog* dialog) {
    auto* list = FindControl<QListWidget>(dialog, PluginSelectDialog::kPluginList);
    for (int i = 0; list != nullptr && i < list->count(); ++i) listed << list->item(i)->text();
    dialog->reject();
  });
  // On the active search window: the dialog lists it (the window's own plugin is free
  // while the dialog is open) and a cancel loads it again.
  app_->frame()->Command(kCommandPluginSelect)->trigger();
  EXPECT_TRUE(script.done());
  EXPECT_TRUE(listed.contains(QString::fromUtf16(kSearchName))) << listed.join(u',').toStdString();
  EXPECT_EQ(SlotAt(1).name.get(), kSearchName);
  EXPECT_EQ(SlotAt(1).loaded, 1);
  EXPECT_TRUE(recorder_.texts().empty());
}

// While it lives, message boxes are shown as the program shows them instead of recorded.
class ShownMessageBoxes {
 public:
  ShownMessageBoxes() : recorder_(platform::InstallQtMessageBoxes()) {}
  ~ShownMessageBoxes() { platform::SetMessageBoxHandler(recorder_); }
  ShownMessageBoxes(const ShownMessageBoxes&) = delete;
  ShownMessageBoxes& operator=(const ShownMessageBoxes&) = delete;

 private:
  platform::MessageBoxHandler recorder_;
};

// What a box showed, whose window it was and whether it got the keyboard.  Return on the
// keyboard answers it: the default button when the box has the focus.
struct SeenBox {
  QString text;
  QWidget* parent = nullptr;
  bool hadKeyboard = false;
};
ModalScript::Handler AnswerWithReturn(SeenBox* seen) {
  return [seen](QDialog* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    ASSERT_NE(box, nullptr) << dialog->windowTitle().toStdString();
    seen->text = box->text();
    seen->parent = box->parentWidget();
    seen->hadKeyboard =
        QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }, 5000);
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Return);
  };
}

// A box stays in sight of the user: one raised from the search dialog (a search without a
// keyword) belongs to that dialog, one raised from the search window (its help glyph) to
// the main window; each comes up with the keyboard, which goes back where it was.
TEST_F(InstalledSearch, MessageBoxesBelongToTheWindowInSight) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ShownMessageBoxes shown;
  QWidget* frame = app_->frame();
  frame->activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == frame; }, 5000));

  SeenBox help;
  ModalScript helpBox(AnswerWithReturn(&help));
  QTest::mouseClick(&view(), Qt::LeftButton, {}, QPoint(SlotAt(1).left + 10, SlotAt(1).top + 30));
  ASSERT_TRUE(helpBox.done()) << "the help glyph showed no box";
  EXPECT_EQ(help.text, QStringLiteral("スケジュールとメモの文字列の検索や置換えを行います。\n"
                                      "ダブルクリックして下さい。"));
  EXPECT_EQ(help.parent, frame) << "no dialog open: the main window's";
  EXPECT_TRUE(help.hadKeyboard);
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == frame; }, 5000))
      << "the main window has the keyboard again";

  QDialog* search = nullptr;
  bool keyboardBack = false;
  SeenBox noKeyword;
  ModalScript script;
  script
      .Expect(QStringLiteral("検索・置換"),
              [&](QDialog* dialog) {
                search = dialog;
                FindControl<QLineEdit>(dialog, 1006)->clear();
                Click(dialog, 1008);  // 検索
                keyboardBack = QTest::qWaitFor(
                    [dialog] { return QApplication::activeWindow() == dialog; }, 5000);
                Click(dialog, 2);  // 閉じる
              })
      .ExpectAny(AnswerWithReturn(&noKeyword));
  DoubleTapAt(&view(), InSearchWindow());
  ASSERT_TRUE(script.done()) << "no box from the search dialog";
  EXPECT_EQ(noKeyword.text, QStringLiteral("キーワードを入力して下さい"));
  EXPECT_NE(search, nullptr);
  EXPECT_EQ(noKeyword.parent, search) << "the dialog's, above it";
  EXPECT_TRUE(noKeyword.hadKeyboard);
  EXPECT_TRUE(keyboardBack) << "the dialog has the keyboard again";
}

}  // namespace
}  // namespace yk
