// Key assignment, font, dial-up and the management tool: the dialogs driven through their
// controls offscreen, and the commands in a running host with recording plugins.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "host/dialup_dialog.h"
#include "host/font_dialog.h"
#include "host/host_session.h"
#include "host/key_capture_dialog.h"
#include "host/key_config_dialog.h"
#include "host/main_frame.h"
#include "host/management_tool.h"
#include "host/plugin_host.h"
#include "host/tavik_app.h"
#include "host/tavik_view.h"
#include "host/tests/app_test_support.h"
#include "host/tests/core_test_support.h"
#include "host/tests/key_table_support.h"
#include "host/tests/plugins/call_log.h"
#include "host/window_manager.h"
#include "platform/dynamic_library.h"
#include "platform/messages.h"
#include "platform/qt_data_exchange.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/modal_script.h"
#include "platform/text_draw.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using platform::FindControl;
using platform::testing::MessageRecorder;
using platform::testing::ModalScript;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ProgramFolder;
using testing::Store;

const ::testing::Environment* const kQt =
    ::testing::AddGlobalTestEnvironment(new testing::QtEnvironment);

QStringList ListLines(const QDialog* dialog, int id) {
  QStringList lines;
  if (auto* list = FindControl<QListWidget>(dialog, id)) {
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
  }
  return lines;
}

void Click(const QDialog* dialog, int id) {
  auto* button = FindControl<QPushButton>(dialog, id);
  ASSERT_NE(button, nullptr) << id;
  QTest::mouseClick(button, Qt::LeftButton);
}

// 自動取得, then the keys given pressed and released in the capture dialog.
void Capture(QDialog* dialog, std::vector<Qt::Key> keys, bool* captureRan = nullptr) {
  ModalScript capture("145", [keys](QDialog* captureDialog) {
    EXPECT_EQ(captureDialog->windowTitle(), QStringLiteral("キー設定"));
    for (Qt::Key key : keys) QTest::keyClick(captureDialog, key);
    // The close is posted: let it arrive before the driver looks.
    QTest::qWait(0);
    QCoreApplication::processEvents();
  });
  Click(dialog, KeyConfigDialog::kCaptureButton);
  if (captureRan) *captureRan = capture.done();
}

void SelectRow(QDialog* dialog, int row) {
  auto* list = FindControl<QListWidget>(dialog, KeyConfigDialog::kKeyList);
  ASSERT_NE(list, nullptr);
  list->setCurrentRow(row);
}

void TypeKey(QDialog* dialog, const QString& text) {
  auto* edit = FindControl<QLineEdit>(dialog, KeyConfigDialog::kKeyEdit);
  ASSERT_NE(edit, nullptr);
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

QString EditText(QDialog* dialog) {
  auto* edit = FindControl<QLineEdit>(dialog, KeyConfigDialog::kKeyEdit);
  return edit ? edit->text() : QString("<no edit>");
}

using Table = testing::LabelledKeyTable;

Table HostTable() {
  return Table({{u"次のウィンドウ", 50, 0},
                {u"前のウィンドウ", 0, 0},
                {u"今日へ移動", 0, 0},
                {u"プラグイン選択", 0, 0},
                {u"データ更新", 0, 0},
                {u"次のプラグイン選択", 0, 0}});
}

// ---- The key assignment and capture dialogs ---------------------------------------------

TEST(KeyConfigDialogTest, OpensOnTheFirstEntryWithItsControls) {
  Table t = HostTable();
  KeyConfigDialog dialog(t.table);
  EXPECT_EQ(dialog.objectName(), "144");
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("キー設定"));
  EXPECT_EQ(ListLines(&dialog, KeyConfigDialog::kKeyList),
            QStringList({"次のウィンドウ : 50", "前のウィンドウ", "今日へ移動", "プラグイン選択",
                         "データ更新", "次のプラグイン選択"}));
  EXPECT_EQ(FindControl<QListWidget>(&dialog, KeyConfigDialog::kKeyList)->currentRow(), 0);
  EXPECT_EQ(EditText(&dialog), "50");
  const std::pair<int, const char*> buttons[] = {
      {1023, "自動取得"}, {1042, "解除"}, {1004, "？"}, {1, "OK"}, {2, "キャンセル"}};
  for (const auto& [id, text] : buttons) {
    auto* button = FindControl<QPushButton>(&dialog, id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text(), QString::fromUtf8(text));
  }
}

// Capturing the key of "次のウィンドウ" for "前のウィンドウ" moves it; OK writes it back.
TEST(KeyConfigDialogTest, CapturedKeyMovesToTheSelectedEntry) {
  Table t = HostTable();
  bool captureRan = false;
  ModalScript driver("144", [&](QDialog* dialog) {
    SelectRow(dialog, 1);
    EXPECT_EQ(EditText(dialog), "0");
    Capture(dialog, {Qt::Key_2}, &captureRan);
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList).mid(0, 2),
              QStringList({"次のウィンドウ", "前のウィンドウ : 50"}));
    EXPECT_EQ(EditText(dialog), "50");
    EXPECT_EQ(t.Keys()[0], 50) << "the table waits for OK";
    Click(dialog, KeyConfigDialog::kOkButton);
  });
  KeyConfigDialog dialog(t.table);
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(captureRan);
  EXPECT_THAT(t.Keys(), ElementsAre(0, 50, 0, 0, 0, 0));
  EXPECT_EQ(t.table.entries[0].label.get(), u"次のウィンドウ");
}

// In a plugin's table an entry of group 2 keeps its key when the same key is captured for
// an entry of group 3; an entry of group 0 loses it.
TEST(KeyConfigDialogTest, GroupsDecideWhoLosesACapturedKey) {
  Table t({{u"左", 50, 2}, {u"右", 50, 0}, {u"決定", 0, 3}});
  ModalScript driver("144", [&](QDialog* dialog) {
    SelectRow(dialog, 2);
    Capture(dialog, {Qt::Key_2});
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList),
              QStringList({"左 : 50", "右", "決定 : 50"}));
    Click(dialog, KeyConfigDialog::kOkButton);
  });
  KeyConfigDialog dialog(t.table);
  dialog.exec();
  EXPECT_THAT(t.Keys(), ElementsAre(50, 0, 50));
}

TEST(KeyConfigDialogTest, CaptureDialogRules) {
  struct Case {
    const char* name;
    std::vector<Qt::Key> keys;
    int entryKey;  // the selected entry's key afterwards (it was 7)
  } cases[] = {
      {"134 and then 50 give 50", {Qt::Key_F23, Qt::Key_2}, 50},
      {"135 and then Enter give 13", {Qt::Key_F24, Qt::Key_Return}, 13},
      {"Escape is a key like any other", {Qt::Key_Escape}, 27},
      {"closed without a key changes nothing", {}, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Table t({{u"一", 7, 0}});
    ModalScript driver("144", [&](QDialog* dialog) {
      bool ran = false;
      Capture(dialog, c.keys, &ran);
      EXPECT_TRUE(ran);
      Click(dialog, KeyConfigDialog::kOkButton);
    });
    KeyConfigDialog dialog(t.table);
    dialog.exec();
    EXPECT_THAT(t.Keys(), ElementsAre(c.entryKey));
  }
}

TEST(KeyCaptureDialogTest, AReleaseWithoutItsPressIsNotTaken) {
  KeyCaptureDialog dialog;
  EXPECT_EQ(dialog.objectName(), "145");
  ModalScript driver("145", [](QDialog* capture) {
    // The Enter that pressed "自動取得" is released here: not an answer.
    QTest::keyRelease(capture, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(capture->isVisible());
    QTest::keyPress(capture, Qt::Key_0, Qt::KeypadModifier);
    QTest::keyRelease(capture, Qt::Key_0, Qt::KeypadModifier);
    QTest::qWait(0);
  });
  dialog.exec();
  EXPECT_EQ(dialog.capturedKey(), 96) << "the keypad's 0";
}

// Typing: 0 shows the label alone; another entry's code leaves both bound; what is not a
// code between 0 and 255 is refused with the standard message and changes nothing.
TEST(KeyConfigDialogTest, TypedCodes) {
  Table t = HostTable();
  MessageRecorder recorder;
  ModalScript driver("144", [&](QDialog* dialog) {
    TypeKey(dialog, "0");
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList)[0], "次のウィンドウ");
    TypeKey(dialog, "50");
    SelectRow(dialog, 1);
    TypeKey(dialog, "50");
    SelectRow(dialog, 2);
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList).mid(0, 3),
              QStringList({"次のウィンドウ : 50", "前のウィンドウ : 50", "今日へ移動"}));
    // Refused: "9x", then "256" (each after a code that was taken).
    const std::pair<const char*, const char*> refusals[] = {{"9", "x"}, {"25", "6"}};
    for (const auto& [taken, appended] : refusals) {
      TypeKey(dialog, taken);
      QTest::keyClicks(FindControl<QLineEdit>(dialog, KeyConfigDialog::kKeyEdit), appended);
      SelectRow(dialog, 3);
      SelectRow(dialog, 2);
      EXPECT_EQ(EditText(dialog), taken);
    }
    Click(dialog, KeyConfigDialog::kOkButton);
  });
  KeyConfigDialog dialog(t.table);
  dialog.exec();
  EXPECT_THAT(t.Keys(), ElementsAre(50, 50, 25, 0, 0, 0));
  EXPECT_THAT(recorder.texts(), ElementsAre(u"0 から 255 までの整数を入力してください。",
                                            u"0 から 255 までの整数を入力してください。"));
}

// OK reads the edit too: a code it refuses keeps the dialog open with the standard
// message, and nothing is written until the edit holds a code.
TEST(KeyConfigDialogTest, OkRefusesWhatTheEditRefuses) {
  Table t = HostTable();
  MessageRecorder recorder;
  bool stayedOpen = false;
  ModalScript driver("144", [&](QDialog* dialog) {
    TypeKey(dialog, "9");
    QTest::keyClicks(FindControl<QLineEdit>(dialog, KeyConfigDialog::kKeyEdit), "x");
    Click(dialog, KeyConfigDialog::kOkButton);
    stayedOpen = dialog->isVisible();
    TypeKey(dialog, "12");
    Click(dialog, KeyConfigDialog::kOkButton);
  });
  KeyConfigDialog dialog(t.table);
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_TRUE(stayedOpen) << "OK closed on a refused code";
  EXPECT_THAT(t.Keys(), ElementsAre(12, 0, 0, 0, 0, 0));
  EXPECT_THAT(recorder.texts(), ElementsAre(u"0 から 255 までの整数を入力してください。",
                                            u"0 から 255 までの整数を入力してください。"));
}

TEST(KeyConfigDialogTest, ClearHelpAndCancel) {
  Table t = HostTable();
  MessageRecorder recorder;
  ModalScript driver("144", [&](QDialog* dialog) {
    Click(dialog, KeyConfigDialog::kClearButton);
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList)[0], "次のウィンドウ");
    EXPECT_EQ(EditText(dialog), "0");
    Click(dialog, KeyConfigDialog::kHelpButton);
    SelectRow(dialog, 4);
    Capture(dialog, {Qt::Key_F5});
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList)[4], "データ更新 : 116");
    Click(dialog, KeyConfigDialog::kCancelButton);
  });
  KeyConfigDialog dialog(t.table);
  EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  EXPECT_THAT(t.Keys(), ElementsAre(50, 0, 0, 0, 0, 0)) << "Cancel leaves the table as it was";
  EXPECT_THAT(recorder.texts(), ElementsAre(kKeyConfigHelpText));
}

TEST(KeyConfigDialogTest, AnEmptyTableOffersNothingToEdit) {
  KeyTable empty{};
  MessageRecorder recorder;
  KeyConfigDialog dialog(empty);
  EXPECT_THAT(ListLines(&dialog, KeyConfigDialog::kKeyList), IsEmpty());
  EXPECT_EQ(EditText(&dialog), "0");
  ModalScript unexpected("145", [](QDialog*) {});
  Click(&dialog, KeyConfigDialog::kCaptureButton);
  Click(&dialog, KeyConfigDialog::kClearButton);
  QTest::keyClicks(FindControl<QLineEdit>(&dialog, KeyConfigDialog::kKeyEdit), "5");
  EXPECT_FALSE(unexpected.done());
  EXPECT_THAT(recorder.texts(), IsEmpty());
}

// ---- The font dialog ------------------------------------------------------------------------

TEST(FontDialogTest, SelectsTheStoredFaceByPrefixIgnoringCase) {
  const std::vector<std::u16string> families = {u"DejaVu Sans", u"IPAGothic", u"IPAPGothic"};
  struct Case {
    std::u16string face;
    int row;
  } cases[] = {{u"IPAPGothic", 2}, {u"ipag", 1}, {u"No Such Face", 2}, {u"ＭＳ Ｐゴシック", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.face));
    FontDialog dialog(c.face, families);
    EXPECT_EQ(dialog.objectName(), "146");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("フォント"));
    auto* list = FindControl<QListWidget>(&dialog, FontDialog::kFontList);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->currentRow(), c.row);
  }
}

TEST(FontDialogTest, OkTakesTheSelectedFamilyAndCancelKeepsTheFace) {
  for (bool ok : {true, false}) {
    SCOPED_TRACE(ok);
    ModalScript driver("146", [ok](QDialog* dialog) {
      auto* list = FindControl<QListWidget>(dialog, FontDialog::kFontList);
      ASSERT_NE(list, nullptr);
      list->setCurrentRow(0);
      Click(dialog, ok ? FontDialog::kOkButton : FontDialog::kCancelButton);
    });
    FontDialog dialog(u"IPAGothic", {u"DejaVu Sans", u"IPAGothic"});
    EXPECT_EQ(dialog.exec(), ok ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(dialog.faceName(), ok ? u"DejaVu Sans" : u"IPAGothic");
  }
}

TEST(FontDialogTest, ListsTheScreensFamiliesAndKeepsTheDefaultFacesLook) {
  FontDialog dialog(platform::kDefaultFaceName);
  auto* list = FindControl<QListWidget>(&dialog, FontDialog::kFontList);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), QFontDatabase::families().size());
  ASSERT_NE(list->currentItem(), nullptr);
  EXPECT_EQ(list->currentItem()->text(), QStringLiteral("IPAPGothic"))
      << "the default face is drawn with the installed Japanese Gothic";
  dialog.accept();
  EXPECT_EQ(dialog.faceName(), u"IPAPGothic");
}

// ---- The dial-up dialog -------------------------------------------------------------------

// A stub nmcli first on PATH (or none at all); PATH is put back afterwards.
class NmcliOnPath {
 public:
  // `output` nullptr: no nmcli anywhere on PATH.
  explicit NmcliOnPath(const char* output) {
    const char* path = std::getenv("PATH");
    saved_ = path ? path : "";
    fs::create_directories(folder_.path());
    if (output != nullptr) {
      const fs::path stub = folder_.path() / "nmcli";
      std::ofstream(stub) << "#!/bin/sh\ncat <<'EOF'\n" << output << "EOF\n";
      fs::permissions(stub, fs::perms::owner_all);
      ::setenv("PATH", (folder_.path().string() + ":" + saved_).c_str(), 1);
    } else {
      ::setenv("PATH", folder_.path().c_str(), 1);
    }
  }
  ~NmcliOnPath() { ::setenv("PATH", saved_.c_str(), 1); }

 private:
  testing::TempFolder folder_{"nmcli"};
  std::string saved_;
};

constexpr char kPhoneBook[] = "Home\n`System\nOffice\\:3F\nwith`quote\nMobile\n";

TEST(DialupDialogTest, ListsThePhoneBookWithoutBackquotedNames) {
  NmcliOnPath nmcli(kPhoneBook);
  MessageRecorder recorder;
  struct Case {
    std::u16string stored;
    int row;
  } cases[] = {{u"Office:3F", 1}, {u"mob", 2}, {u"", 0}, {u"Gone", -1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::Utf16ToUtf8(c.stored));
    DialupDialog dialog({c.stored, 1});
    EXPECT_EQ(dialog.objectName(), "147");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ダイヤルアップ設定"));
    EXPECT_EQ(ListLines(&dialog, DialupDialog::kEntryList),
              QStringList({"Home", "Office:3F", "Mobile"}));
    EXPECT_EQ(FindControl<QListWidget>(&dialog, DialupDialog::kEntryList)->currentRow(), c.row);
    auto* check = FindControl<QCheckBox>(&dialog, DialupDialog::kSkipCheckBox);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->text(), QStringLiteral("既存の接続をチェックしない"));
    EXPECT_TRUE(check->isChecked());
  }
  EXPECT_THAT(recorder.texts(), IsEmpty());
}

TEST(DialupDialogTest, OkTakesTheSelectedEntryAndTheCheckBox) {
  NmcliOnPath nmcli(kPhoneBook);
  ModalScript driver("147", [](QDialog* dialog) {
    FindControl<QListWidget>(dialog, DialupDialog::kEntryList)->setCurrentRow(2);
    FindControl<QCheckBox>(dialog, DialupDialog::kSkipCheckBox)->setChecked(true);
    Click(dialog, DialupDialog::kOkButton);
  });
  DialupDialog dialog({u"Home", 0});
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(dialog.fields().dialName, u"Mobile");
  EXPECT_EQ(dialog.fields().dialCheck, 1);

  ModalScript cancel("147", [](QDialog* dialog) {
    FindControl<QListWidget>(dialog, DialupDialog::kEntryList)->setCurrentRow(2);
    Click(dialog, DialupDialog::kCancelButton);
  });
  DialupDialog cancelled({u"Home", 0});
  EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
  EXPECT_EQ(cancelled.fields().dialName, u"Home");
  EXPECT_EQ(cancelled.fields().dialCheck, 0);
}

// NetworkManager's names may be longer than 20 characters: the name stored is the
// connection's own, so that it can be dialled.
TEST(DialupDialogTest, ALongConnectionNameIsListedAndStoredWhole) {
  NmcliOnPath nmcli("Home\nVodafone Mobile Broadband 2\n");
  DialupDialog dialog({u"Vodafone Mobile Broadband 2", 0});
  EXPECT_EQ(ListLines(&dialog, DialupDialog::kEntryList),
            QStringList({"Home", "Vodafone Mobile Broadband 2"}));
  EXPECT_EQ(FindControl<QListWidget>(&dialog, DialupDialog::kEntryList)->currentRow(), 1);
  dialog.accept();
  EXPECT_EQ(dialog.fields().dialName, u"Vodafone Mobile Broadband 2");
}

TEST(DialupDialogTest, WithoutNmcliTheListIsEmptyAndOkStoresNoName) {
  NmcliOnPath none(nullptr);
  MessageRecorder recorder;
  DialupDialog dialog({u"Home", 0});
  EXPECT_THAT(ListLines(&dialog, DialupDialog::kEntryList), IsEmpty());
  dialog.accept();
  EXPECT_EQ(dialog.fields().dialName, u"");
  EXPECT_THAT(recorder.texts(), IsEmpty());
}

// ---- Writing the settings -----------------------------------------------------------------

// A profile in memory that also keeps the order of writes.
class RecordingProfile final : public platform::Profile {
 public:
  explicit RecordingProfile(std::vector<std::u16string>* writes) : writes_(writes) {}
  int GetInt(std::u16string_view s, std::u16string_view k, int f) override {
    return values_.GetInt(s, k, f);
  }
  std::u16string GetString(std::u16string_view s, std::u16string_view k,
                           std::u16string_view f) override {
    return values_.GetString(s, k, f);
  }
  bool WriteInt(std::u16string_view s, std::u16string_view k, int v) override {
    writes_->push_back(std::u16string(k));
    return values_.WriteInt(s, k, v);
  }
  bool WriteString(std::u16string_view s, std::u16string_view k, std::u16string_view v) override {
    writes_->push_back(std::u16string(k));
    return values_.WriteString(s, k, v);
  }
  bool Remove(std::u16string_view s, std::u16string_view k) override {
    return values_.Remove(s, k);
  }

 private:
  std::vector<std::u16string>* writes_;
  platform::MemoryProfile values_;
};

struct SessionRun {
  explicit SessionRun(const ProgramFolder& folder,
                      std::initializer_list<std::pair<const char16_t*, int>> stored = {})
      : session(view) {
    auto profile = std::make_unique<RecordingProfile>(&writes);
    profile->WriteInt(kSettingSection, u"firsttime", 1);
    for (const auto& [key, value] : stored) profile->WriteInt(kSettingSection, key, value);
    app = platform::RegisterApplication(std::move(profile));
    HostSession::CreateParams params;
    params.appFolder = folder.appFolder();
    params.app = app;
    EXPECT_TRUE(session.Create(params));
    HostSession::Header header;
    header.viewWindow = 1;
    header.clientWidth = 800;
    header.clientHeight = 600;
    EXPECT_TRUE(session.InitialUpdate(header));
    writes.clear();
  }
  ~SessionRun() {
    session.Destroy();
    platform::ReleaseApplication(app);
  }
  int Stored(const char16_t* key) {
    return platform::ProfileOf(app)->GetInt(kSettingSection, key, -1);
  }

  std::vector<std::u16string> writes;
  testing::FakeView view;
  HostSession session;
  platform::Handle app = 0;
};

TEST(SettingsWrites, EachDialogWritesItsValuesInOrder) {
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  SessionRun run(folder);
  run.session.ApplyHostKeys({37, 39, 116, 80, 82, 78});
  EXPECT_THAT(run.writes, ElementsAre(u"keyreflesh", u"keyplugsel", u"keyplugselnext",
                                      u"keynextwin", u"keyprevwin", u"keytoday"));
  EXPECT_EQ(run.Stored(u"keyreflesh"), 82);
  EXPECT_EQ(run.Stored(u"keytoday"), 116);
  EXPECT_EQ(run.session.windows()->settings().keys, (std::array<int, 6>{37, 39, 116, 80, 82, 78}));

  run.writes.clear();
  run.session.ApplyDialup(u"Office", 1);
  EXPECT_THAT(run.writes, ElementsAre(u"dialcheck", u"dialname"));
  EXPECT_EQ(run.session.host()->dialName.get(), u"Office");
  EXPECT_EQ(run.session.host()->dialCheck, 1);

  run.writes.clear();
  run.session.ApplyFont(u"IPAGothic");
  EXPECT_THAT(run.writes, ElementsAre(u"font"));
  EXPECT_EQ(run.session.host()->fontName.get(), u"IPAGothic");
  // The titles are drawn in the new face.
  ASSERT_FALSE(run.view.titles.empty());
  EXPECT_EQ(run.view.titles.back().face, u"IPAGothic");
}

// A hand-edited settings file with key codes outside 0..255: those keys are unbound.
TEST(SettingsWrites, StoredHostKeysOutsideAByteAreNoKeys) {
  ProgramFolder folder;
  folder.WriteTheme(0, 0, 0);
  SessionRun run(folder, {{u"keynextwin", 300},
                          {u"keyprevwin", -2},
                          {u"keytoday", 255},
                          {u"keyplugsel", 1 << 20},
                          {u"keyreflesh", 13},
                          {u"keyplugselnext", -2147483647 - 1}});
  EXPECT_EQ(run.session.windows()->settings().keys, (std::array<int, 6>{0, 0, 255, 0, 13, 0}));
}

// ---- The commands in a running host -------------------------------------------------------

class HostCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    // A white parts sheet: the titles' black text shows on it.
    folder_.WriteTheme(255, 255, 255);
    Store({{u"firsttime", u"1"}});
    (void)yk::testing::TakeCalls();
  }
  void TearDown() override {
    app_.reset();
    yk::testing::ClearAnswers();
    (void)yk::testing::TakeCalls();
  }
  static std::u16string Stored(const char16_t* key) {
    return platform::OpenSettingsProfile()->GetString(u"setting", key, u"<missing>");
  }
  static std::u16string PluginPath(const char* file) {
    return platform::Utf8ToUtf16(std::string(YK_TEST_PLUGIN_DIR) + "/" + file);
  }
  // Windows with the given test plugins, bottom first.
  void StartWith(std::initializer_list<const char*> plugins) {
    Store({{u"win_num", platform::Utf8ToUtf16(std::to_string(plugins.size()))}});
    int i = 0;
    for (const char* plugin : plugins) {
      const std::u16string n = platform::Utf8ToUtf16(std::to_string(i));
      Store({{(u"winleft" + n).c_str(), platform::Utf8ToUtf16(std::to_string(i * 250))},
             {(u"winwidth" + n).c_str(), u"240"},
             {(u"winheight" + n).c_str(), u"100"},
             {(u"winplg" + n).c_str(), PluginPath(plugin)}});
      ++i;
    }
    app_ = std::make_unique<CTavikApp>();
    CTavikApp::Options options;
    options.appFolder = folder_.appFolder();
    options.singleInstance = false;
    ASSERT_TRUE(app_->InitInstance(options));
    (void)platform::DeliverPostedMessages();
    (void)yk::testing::TakeCalls();
  }
  CMainFrame& frame() { return *app_->frame(); }
  CTavikView& view() { return *app_->view(); }
  HostContext& host() { return *view().session().host(); }
  KeyTable* PluginTable(int position) {
    const PluginSlot& slot = host().slots[host().order[position]];
    auto keyConfig = platform::FindExportAs<plg_keyconfig_fn>(slot.module, "plg_keyconfig");
    return keyConfig ? keyConfig() : nullptr;
  }
  std::vector<int> PluginKeys(int position) {
    std::vector<int> keys;
    if (KeyTable* table = PluginTable(position))
      for (int i = 0; i < table->count; ++i) keys.push_back(table->entries[i].key);
    return keys;
  }

  ProgramFolder folder_;
  MessageRecorder recorder_;
  std::unique_ptr<CTavikApp> app_;
};

TEST_F(HostCommands, EveryCommandOfTheMenuWorks) {
  ASSERT_NO_FATAL_FAILURE(StartWith({}));
  for (int id : {kCommandHostKeys, kCommandPluginKeys, kCommandFont, kCommandManagementTool,
                 kCommandDialupSettings, kCommandDialupToggle}) {
    EXPECT_TRUE(frame().Command(id)->isEnabled()) << id;
  }
}

// The host's keys: bound through the dialog, written, and in force at once.
TEST_F(HostCommands, HostKeysAreBoundStoredAndDispatchedAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StartWith({"rec_a.plg"}));
  ModalScript driver("144", [](QDialog* dialog) {
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList),
              QStringList({"次のウィンドウ", "前のウィンドウ", "今日へ移動", "プラグイン選択",
                           "データ更新", "次のプラグイン選択"}));
    SelectRow(dialog, 2);
    Capture(dialog, {Qt::Key_F5});
    Click(dialog, KeyConfigDialog::kOkButton);
  });
  ASSERT_TRUE(frame().RunCommand(kCommandHostKeys));
  ASSERT_TRUE(driver.done());
  EXPECT_EQ(Stored(u"keytoday"), u"116");
  EXPECT_EQ(Stored(u"keynextwin"), u"0");
  (void)yk::testing::TakeCalls();
  QTest::keyClick(&view(), Qt::Key_F5);
  EXPECT_THAT(yk::testing::TakeCalls(), ElementsAre("A:notify 4"))
      << "the today key acts at once and never reaches the plugin";

  // Cancel changes nothing.
  ModalScript cancel("144", [](QDialog* dialog) {
    Click(dialog, KeyConfigDialog::kClearButton);
    SelectRow(dialog, 2);
    Click(dialog, KeyConfigDialog::kClearButton);
    Click(dialog, KeyConfigDialog::kCancelButton);
  });
  ASSERT_TRUE(frame().RunCommand(kCommandHostKeys));
  EXPECT_EQ(Stored(u"keytoday"), u"116");
  EXPECT_EQ(view().session().windows()->settings().keys[kKeyToday], 116);
}

// The plugin's table is edited in place: the plugin sees its new codes at once.
TEST_F(HostCommands, PluginKeysAreEditedInThePluginsOwnTable) {
  ASSERT_NO_FATAL_FAILURE(StartWith({"rec_a.plg"}));
  ASSERT_THAT(PluginKeys(0), ElementsAre(65, 0, 0));
  ModalScript driver("144", [](QDialog* dialog) {
    EXPECT_EQ(ListLines(dialog, KeyConfigDialog::kKeyList),
              QStringList({"左 : 65", "ジャンプ", "決定"}));
    SelectRow(dialog, 2);
    Capture(dialog, {Qt::Key_A});  // group 3 takes 'A' from the group-0 entry
    SelectRow(dialog, 1);
    TypeKey(dialog, "66");
    Click(dialog, KeyConfigDialog::kOkButton);
  });
  ASSERT_TRUE(frame().RunCommand(kCommandPluginKeys));
  ASSERT_TRUE(driver.done());
  EXPECT_THAT(PluginKeys(0), ElementsAre(0, 66, 65));
  EXPECT_THAT(recorder_.texts(), IsEmpty());
}

TEST_F(HostCommands, APluginWithoutAKeyTableSaysSo) {
  ASSERT_NO_FATAL_FAILURE(StartWith({"rec_no_config.plg"}));
  ModalScript unexpected("144", [](QDialog*) {});
  ASSERT_TRUE(frame().RunCommand(kCommandPluginKeys));
  EXPECT_FALSE(unexpected.done());
  EXPECT_THAT(recorder_.texts(), ElementsAre(kNoPluginKeySettingsText));
}

// A new face: every plugin is asked to redraw exactly once, bottom first, the titles are
// drawn again in the new face and "font" is written.
TEST_F(HostCommands, FontChangeRedrawsEveryWindowOnce) {
  ASSERT_NO_FATAL_FAILURE(StartWith({"rec_a.plg", "rec_b.plg"}));
  const QRect titleA(22, 0, 160, 20);
  const QImage before = view().grab().toImage().copy(titleA);
  ModalScript driver("146", [](QDialog* dialog) {
    auto* list = FindControl<QListWidget>(dialog, FontDialog::kFontList);
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(QStringLiteral("IPAGothic"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found.front());
    Click(dialog, FontDialog::kOkButton);
  });
  ASSERT_TRUE(frame().RunCommand(kCommandFont));
  ASSERT_TRUE(driver.done());
  EXPECT_THAT(yk::testing::TakeCalls(), ElementsAre("A:notify 1", "B:notify 1"));
  EXPECT_EQ(host().fontName.get(), u"IPAGothic");
  EXPECT_EQ(Stored(u"font"), u"IPAGothic");
  EXPECT_NE(view().grab().toImage().copy(titleA), before) << "the title was drawn again";

  ModalScript cancel("146", [](QDialog* dialog) { Click(dialog, FontDialog::kCancelButton); });
  ASSERT_TRUE(frame().RunCommand(kCommandFont));
  EXPECT_THAT(yk::testing::TakeCalls(), IsEmpty());
  EXPECT_EQ(host().fontName.get(), u"IPAGothic");
}

TEST_F(HostCommands, DialupChoiceIsKeptAndWritten) {
  NmcliOnPath nmcli(kPhoneBook);
  ASSERT_NO_FATAL_FAILURE(StartWith({}));
  ModalScript driver("147", [](QDialog* dialog) {
    EXPECT_EQ(FindControl<QListWidget>(dialog, DialupDialog::kEntryList)->currentRow(), 0);
    FindControl<QListWidget>(dialog, DialupDialog::kEntryList)->setCurrentRow(1);
    FindControl<QCheckBox>(dialog, DialupDialog::kSkipCheckBox)->setChecked(true);
    Click(dialog, DialupDialog::kOkButton);
  });
  ASSERT_TRUE(frame().RunCommand(kCommandDialupSettings));
  ASSERT_TRUE(driver.done());
  EXPECT_EQ(host().dialName.get(), u"Office:3F");
  EXPECT_EQ(host().dialCheck, 1);
  EXPECT_EQ(Stored(u"dialname"), u"Office:3F");
  EXPECT_EQ(Stored(u"dialcheck"), u"1");
}

// 管理ツール: No leaves the host running with nothing started; Yes starts the updater of the
// program folder with "102" and closes the host in order; a missing updater is reported.
TEST_F(HostCommands, ManagementToolHandsOverToTheUpdater) {
  const fs::path updater = folder_.root() / "tavik_upd_hpc2k";
  const fs::path log = folder_.root() / "updater.log";
  ASSERT_NO_FATAL_FAILURE(StartWith({"rec_a.plg"}));

  recorder_.Answer(platform::kIdYes);
  ASSERT_TRUE(frame().RunCommand(kCommandManagementTool));
  EXPECT_THAT(recorder_.texts(), ElementsAre(kManagementToolQuestion, kStartErrorText));
  EXPECT_EQ(platform::DeliverPostedMessages(), 0u);
  EXPECT_TRUE(frame().isVisible());

  std::ofstream(updater) << "#!/bin/sh\nprintf '%s|%s\\n' \"$PWD\" \"$*\" >> updater.log\n";
  fs::permissions(updater, fs::perms::owner_all);
  recorder_.Clear();
  recorder_.Answer(platform::kIdNo);
  ASSERT_TRUE(frame().RunCommand(kCommandManagementTool));
  EXPECT_THAT(recorder_.texts(), ElementsAre(kManagementToolQuestion));
  EXPECT_EQ(platform::DeliverPostedMessages(), 0u);
  EXPECT_TRUE(frame().isVisible());
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(log)) << "No started the updater";

  Store({{u"win_num", u"0"}});
  recorder_.Clear();
  recorder_.Answer(platform::kIdYes);
  ASSERT_TRUE(frame().RunCommand(kCommandManagementTool));
  EXPECT_THAT(recorder_.texts(), ElementsAre(kManagementToolQuestion));
  EXPECT_TRUE(frame().isVisible()) << "the close request is posted, not carried out inside";
  EXPECT_EQ(platform::DeliverPostedMessages(), 1u);
  EXPECT_FALSE(frame().isVisible());
  EXPECT_FALSE(view().session().ready()) << "the host shut down";
  EXPECT_EQ(Stored(u"win_num"), u"1") << "the layout was saved";
  EXPECT_THAT(yk::testing::TakeCalls(), ElementsAre("A:destroy"));
  for (int i = 0; i < 2000 && !fs::exists(log); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::ifstream in(log);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, folder_.root().string() + "|102");
}

}  // namespace
}  // namespace yk
