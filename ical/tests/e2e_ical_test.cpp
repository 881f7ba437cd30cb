// yomitoki-ical as a user gets it: the build installed into a program folder of its own
// (with Japan's holidays in its data/), the installed tool run on that folder's data:
// a calendar file of another program imported, imported again (nothing added), exported
// with the holidays and imported into a second data folder (the same files), and the
// command lines and files it must refuse without changing anything.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <string>
#include <vector>

#include "host/tests/app_test_support.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;

struct ToolRun {
  int exitCode = -1;
  std::string out, err;
};

std::string Text(const fs::path& file) {
  const std::vector<uint8_t> bytes = ReadBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

void WriteText(const fs::path& file, const std::string& text) {
  testing::WriteBytes(file, std::vector<uint8_t>(text.begin(), text.end()));
}

// Every file below `folder` with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] = Text(entry.path());
  }
  return files;
}

// The schedule files only (the holidays and pictures aside).
std::map<std::string, std::string> ScheduleFiles(const fs::path& folder) {
  std::map<std::string, std::string> files = Files(folder);
  std::erase_if(files, [](const auto& file) { return !file.first.ends_with("sched.txt"); });
  return files;
}

class InstalledCalendarTool : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new TempFolder("e2e_ical");
    ASSERT_NO_FATAL_FAILURE(testing::InstallBuildInto(prefix()));
  }
  static void TearDownTestSuite() {
    delete root_;
    root_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(fs::is_regular_file(prefix() / "yomitoki-ical")); }

  static fs::path prefix() { return root_->path() / "program"; }
  static fs::path data() { return prefix() / "data"; }

  ToolRun Tool(const QStringList& args) const {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Asia/Tokyo");
    env.remove("LD_LIBRARY_PATH");
    tool.setProcessEnvironment(env);
    tool.setWorkingDirectory(QString::fromStdString(work_.path().string()));
    tool.start(QString::fromStdString((prefix() / "yomitoki-ical").string()), args);
    ToolRun run;
    if (!tool.waitForFinished(60000)) return run;
    run.exitCode = tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    run.out = tool.readAllStandardOutput().toStdString();
    run.err = tool.readAllStandardError().toStdString();
    return run;
  }
  QString Work(const char* name) const {
    return QString::fromStdString((work_.path() / name).string());
  }

  static TempFolder* root_;
  TempFolder work_{"e2e_ical_work"};
};

TempFolder* InstalledCalendarTool::root_ = nullptr;

// As a web calendar writes it: a zone of its own, UTC times, a weekly repetition with
// UNTIL, a folded line with escapes.
constexpr char kOtherProgram[] =
    "BEGIN:VCALENDAR\r\nPRODID:-//Web//Calendar//EN\r\nVERSION:2.0\r\n"
    "BEGIN:VEVENT\r\nUID:1@web\r\nDTSTAMP:20040401T000000Z\r\n"
    "DTSTART:20040507T010000Z\r\nDTEND:20040507T023000Z\r\n"
    "SUMMARY:会議\\, 本社\\; 3階\r\n  資料を持参\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:2@web\r\nDTSTAMP:20040401T000000Z\r\n"
    "DTSTART;VALUE=DATE:20040503\r\nDTEND;VALUE=DATE:20040506\r\nSUMMARY:旅行\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:3@web\r\nDTSTAMP:20040401T000000Z\r\n"
    "DTSTART;TZID=Asia/Tokyo:20040602T100000\r\nDTEND;TZID=Asia/Tokyo:20040602T110000\r\n"
    "RRULE:FREQ=WEEKLY;BYDAY=WE;UNTIL=20040630T145959Z\r\nSUMMARY:定例\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

TEST_F(InstalledCalendarTool, ImportsExportsAndRoundTripsOnTheProgramsData) {
  // A first start already knows the holidays of every year.
  for (int year : {1975, 2004, 2019, 2036}) {
    EXPECT_TRUE(fs::is_regular_file(data() / (std::to_string(year) + "holiday.txt"))) << year;
  }

  WriteText(work_.path() / "web.ics", kOtherProgram);
  const ToolRun first = Tool({"import", Work("web.ics")});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_NE(first.out.find("3件の予定を追加しました"), std::string::npos) << first.out;
  EXPECT_EQ(Text(data() / "2004" / "5" / "7" / "sched.txt"),
            testing::Utf16LeBytes(
                u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議, 本社; 3階 資料を持参)\r\n"));
  EXPECT_TRUE(fs::is_regular_file(data() / "2004" / "5" / "sched.txt"));
  EXPECT_TRUE(fs::is_regular_file(data() / "2004" / "6" / "sched.txt"));
  const auto imported = Files(data());

  const ToolRun second = Tool({"import", Work("web.ics")});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  EXPECT_NE(second.out.find("0件の予定を追加しました"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("既にあるため追加しない予定：3件"), std::string::npos) << second.out;
  EXPECT_EQ(Files(data()), imported);

  const ToolRun exported =
      Tool({"export", Work("out.ics"), "--from", "2004-01-01", "--to", "2004-12-31", "--holidays"});
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  EXPECT_NE(exported.out.find("3件の予定と"), std::string::npos) << exported.out;
  const std::string ics = Text(work_.path() / "out.ics");
  EXPECT_NE(ics.find("SUMMARY:こどもの日\r\n"), std::string::npos);
  EXPECT_NE(ics.find("CATEGORIES:HOLIDAY\r\n"), std::string::npos);
  EXPECT_NE(ics.find("DTSTART;TZID=Asia/Tokyo:20040507T100000\r\n"), std::string::npos);

  const fs::path other = work_.path() / "other";
  fs::create_directories(other);
  const ToolRun back =
      Tool({"--data-folder", QString::fromStdString(other.string()), "import", Work("out.ics")});
  ASSERT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(ScheduleFiles(other), ScheduleFiles(data()));
  EXPECT_NE(back.out.find("取り込まない予定"), std::string::npos) << "the holidays are named";
}

TEST_F(InstalledCalendarTool, RefusesWithoutChangingAnything) {
  WriteText(work_.path() / "broken.ics",
            std::string(kOtherProgram).substr(0, std::string(kOtherProgram).size() / 2));
  WriteText(work_.path() / "empty.ics", "");
  const struct {
    const char* what;
    QStringList args;
    int exitCode;
    const char* message;  // in standard error
  } cases[] = {
      {"no command", {}, 2, "使い方"},
      {"an unknown command", {"merge", Work("web.ics")}, 2, "使い方"},
      {"no file", {"import"}, 2, "使い方"},
      {"an unknown option", {"export", Work("x.ics"), "--since", "2004-01-01"}, 2, "--since"},
      {"a date that doesn't exist",
       {"export", Work("x.ics"), "--from", "2004-02-30"},
       2,
       "YYYY-MM-DD"},
      {"an export option on import", {"import", Work("web.ics"), "--holidays"}, 2, "export"},
      {"from after to",
       {"export", Work("x.ics"), "--from", "2005-01-01", "--to", "2004-01-01"},
       2,
       "--from"},
      {"a cut-off file", {"import", Work("broken.ics")}, 1, "iCalendarファイルとして読めません"},
      {"an empty file", {"import", Work("empty.ics")}, 1, "iCalendarファイルとして読めません"},
      {"a file that isn't there", {"import", Work("missing.ics")}, 1, "ファイルを読み込めません"},
      {"a data folder that isn't there",
       {"--data-folder", Work("nowhere"), "export", Work("x.ics")},
       1,
       "データフォルダがありません"},
      {"an export into a folder that isn't there",
       {"export", Work("nowhere/x.ics")},
       1,
       "ファイルを書き込めませんでした"},
  };
  const auto before = Files(data());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolRun run = Tool(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(Files(data()), before);
    EXPECT_FALSE(fs::exists(work_.path() / "x.ics"));
  }
}

}  // namespace
}  // namespace yk
