// The Debian package: CPack builds it from this build, dpkg -x unpacks it into a scratch
// root, and the launcher runs the organizer from there with a temporary HOME — twice, with
// an upgrade in between, to show that the user's folder is made of links, that data/ is the
// user's and that nothing is written under the installed folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QStandardPaths>
#include <chrono>
#include <map>
#include <thread>

#include "host/tests/app_test_support.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::StampOf;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kDeb = "yomitoki_" YK_VERSION "_amd64.deb";

struct Outcome {
  int exitCode = -1;
  std::string output;
};

Outcome RunProgram(const QString& program, const QStringList& arguments,
                   const fs::path& folder = {}) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  if (!folder.empty()) process.setWorkingDirectory(QString::fromStdString(folder.string()));
  process.start(program, arguments);
  if (!process.waitForFinished(300000)) return {-1, "did not finish"};
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAll().toStdString()};
}

// Every file under `root` with its size and time: what the installed folder must keep.
std::map<std::string, std::pair<uintmax_t, long long>> Snapshot(const fs::path& root) {
  std::map<std::string, std::pair<uintmax_t, long long>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat info {};
    if (::lstat(entry.path().c_str(), &info) != 0) continue;
    files[fs::relative(entry.path(), root).string()] = {
        uintmax_t(info.st_size), info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
  }
  return files;
}

std::string ControlField(const fs::path& deb, const char* field) {
  return RunProgram("dpkg-deb", {"-f", QString::fromStdString(deb.string()), field}).output;
}

class DebianPackage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QStandardPaths::findExecutable("dpkg-deb").isEmpty()) return;
    work_ = new TempFolder("package");
    // CPack puts the package and its staging tree into the scratch folder (-B).
    const Outcome made =
        RunProgram(YK_CPACK_COMMAND, {"-G", "DEB", "--config", YK_BUILD_DIR "/CPackConfig.cmake",
                                      "-B", QString::fromStdString(work_->path().string())});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    ASSERT_TRUE(fs::is_regular_file(deb())) << made.output;
    const Outcome unpacked = RunProgram("dpkg-deb", {"-x", QString::fromStdString(deb().string()),
                                                     QString::fromStdString(root().string())});
    ASSERT_EQ(unpacked.exitCode, 0) << unpacked.output;
  }
  static void TearDownTestSuite() {
    delete work_;
    work_ = nullptr;
  }
  void SetUp() override {
    if (work_ == nullptr) GTEST_SKIP() << "dpkg-deb is not installed: no package can be built";
  }

  static fs::path deb() { return work_->path() / kDeb; }
  static fs::path root() { return work_->path() / "root"; }
  static fs::path installed() { return root() / "usr/lib/yomitoki"; }

  fs::path home() const { return user_.path() / "home"; }
  fs::path userFolder() const { return home() / ".local/share/yomitoki"; }
  fs::path settingsFile() const {
    return home() / ".config" / "Vantor Studio" / "tavik-hpc2k.conf";
  }

  // Runs /usr/bin/yomitoki of the scratch root as a user with a fresh HOME would, until the
  // organizer's start is complete (it writes "firsttime" at the end), then ends it as the
  // desktop would (SIGTERM).  Returns the command line the organizer runs with.
  std::string RunLauncher(const std::map<QString, QString>& extra = {}) {
    fs::create_directories(settingsFile().parent_path());
    fs::create_directories(user_.path() / "run");
    fs::permissions(user_.path() / "run", fs::perms::owner_all, fs::perm_options::replace);
    {
      QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
      seed.setValue("setting/firsttime", 1);  // no welcome box
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"YOMITOKI_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "LD_LIBRARY_PATH"})
      env.remove(name);
    env.insert("HOME", QString::fromStdString(home().string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString((user_.path() / "run").string()));
    env.insert("TMPDIR", QString::fromStdString((user_.path() / "run").string()));
    for (const auto& [name, value] : extra) env.insert(name, value);
    QProcess organizer;
    organizer.setProcessEnvironment(env);
    organizer.setProcessChannelMode(QProcess::ForwardedChannels);
    const auto before = StampOf(settingsFile());
    organizer.start(QString::fromStdString((root() / "usr/bin/yomitoki").string()), {});
    EXPECT_TRUE(organizer.waitForStarted(10000));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (StampOf(settingsFile()) == before && organizer.state() == QProcess::Running &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(organizer.state(), QProcess::Running) << "the organizer ended by itself";
    // The launcher has become the organizer (exec): its command line names the program file.
    std::string commandLine;
    std::getline(std::ifstream("/proc/" + std::to_string(organizer.processId()) + "/cmdline"),
                 commandLine, '\0');
    organizer.terminate();
    EXPECT_TRUE(organizer.waitForFinished(30000));
    EXPECT_EQ(organizer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(organizer.exitCode(), 0);
    return commandLine;
  }

  static TempFolder* work_;
  TempFolder user_{"package_user"};
};

TempFolder* DebianPackage::work_ = nullptr;

TEST_F(DebianPackage, HoldsTheProgramFolderAndTheDesktopFiles) {
  const struct {
    const char* path;
    bool executable;
  } files[] = {
      {"usr/bin/yomitoki", true},
      {"usr/lib/yomitoki/tavik-hpc2k", true},
      {"usr/lib/yomitoki/libyomitoki_platform.so", false},
      {"usr/lib/yomitoki/plugin/tvk_sched_hpc2karm.plg", false},
      {"usr/lib/yomitoki/data/tavik.dat", false},
      {"usr/lib/yomitoki/data/icon.bmp", false},
      {"usr/lib/yomitoki/theme/light.bmp", false},
      {"usr/share/applications/yomitoki.desktop", false},
      {"usr/share/metainfo/yomitoki.metainfo.xml", false},
      {"usr/share/icons/hicolor/48x48/apps/yomitoki.png", false},
      {"usr/share/icons/hicolor/256x256/apps/yomitoki.png", false},
      {"usr/share/doc/yomitoki/copyright", false},
      {"usr/share/doc/yomitoki/changelog.gz", false},
      {"usr/share/man/man1/yomitoki.1.gz", false},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.path);
    const fs::path path = root() / f.path;
    ASSERT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ((fs::status(path).permissions() & fs::perms::owner_exec) != fs::perms::none,
              f.executable);
  }

  std::ifstream desktop(root() / "usr/share/applications/yomitoki.desktop");
  std::string entry((std::istreambuf_iterator<char>(desktop)), std::istreambuf_iterator<char>());
  for (const char* line : {"Name=Yomitoki\n", "Name[ja]=ヨミトキ\n", "Exec=yomitoki\n",
                           "Icon=yomitoki\n", "Categories=Office;Calendar;\n"}) {
    SCOPED_TRACE(line);
    EXPECT_NE(entry.find(line), std::string::npos);
  }

  // The libraries' packages come from dpkg-shlibdeps.
  const std::string depends = ControlField(deb(), "Depends");
  for (const char* package :
       {"libc6", "libqt6widgets6", "libjpeg62-turbo", "fonts-ipafont-gothic"}) {
    SCOPED_TRACE(package);
    EXPECT_NE(depends.find(package), std::string::npos) << depends;
  }
  EXPECT_EQ(ControlField(deb(), "Version"), YK_VERSION "\n");
}

TEST_F(DebianPackage, LintianFindsNoError) {
  if (QStandardPaths::findExecutable("lintian").isEmpty())
    GTEST_SKIP() << "lintian is not installed";
  const Outcome checked = RunProgram("lintian", {"--fail-on", "error", "--tag-display-limit", "0",
                                                 QString::fromStdString(deb().string())});
  EXPECT_EQ(checked.exitCode, 0) << checked.output;
}

TEST_F(DebianPackage, TheLauncherGivesEachUserAFolderOfTheirOwnAndKeepsTheirData) {
  const auto installedBefore = Snapshot(root() / "usr");

  const std::string started = RunLauncher();
  EXPECT_EQ(started, (userFolder() / "tavik-hpc2k").string());
  // A link to every installed file, whatever the package holds; data/ copied, and writable
  // by the user.
  int linked = 0, copied = 0;
  for (const auto& entry : fs::recursive_directory_iterator(installed())) {
    if (entry.is_directory()) continue;
    const fs::path name = fs::relative(entry.path(), installed());
    SCOPED_TRACE(name.string());
    if (*name.begin() == "data") {
      ++copied;
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(userFolder() / name)));
      continue;
    }
    ++linked;
    ASSERT_TRUE(fs::is_symlink(userFolder() / name));
    EXPECT_EQ(fs::read_symlink(userFolder() / name), installed() / name);
  }
  EXPECT_GE(linked, 6) << "the program, its library, the plugins and their pictures, the themes";
  EXPECT_GE(copied, 2);
  for (const char* name : {"data/tavik.dat", "data/icon.bmp"}) {
    SCOPED_TRACE(name);
    ASSERT_FALSE(fs::is_symlink(userFolder() / name));
    EXPECT_EQ(ReadBytes(userFolder() / name), ReadBytes(installed() / name));
    EXPECT_NE(fs::status(userFolder() / name).permissions() & fs::perms::owner_write,
              fs::perms::none);
  }

  // The user's own: a theme chosen (copied over data/tavik.dat), a schedule, a plugin's
  // download beside the plugins.
  testing::WriteSolidBmp(userFolder() / "data/tavik.dat", 240, 400, 10, 20, 30);
  const std::vector<uint8_t> theme = ReadBytes(userFolder() / "data/tavik.dat");
  const std::vector<uint8_t> schedule = {'(', '2', '0', '2', '5', ')'};
  WriteBytes(userFolder() / "data/2025/12/sched.txt", schedule);
  WriteBytes(userFolder() / "plugin/tvk_tenki.tmp", {'<', 'h', '>'});
  fs::remove(userFolder() / "data/icon.bmp");
  EXPECT_EQ(Snapshot(root() / "usr"), installedBefore) << "the first run wrote there";
  // An upgrade: one theme gone, a new one; the user's folder follows at the next start.
  fs::remove(installed() / "theme/dark.bmp");
  fs::copy_file(installed() / "theme/light.bmp", installed() / "theme/new.bmp");
  const auto installedUpgraded = Snapshot(root() / "usr");

  RunLauncher();
  EXPECT_EQ(ReadBytes(userFolder() / "data/tavik.dat"), theme);
  EXPECT_EQ(ReadBytes(userFolder() / "data/2025/12/sched.txt"), schedule);
  EXPECT_TRUE(fs::is_regular_file(userFolder() / "plugin/tvk_tenki.tmp"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(userFolder() / "theme/dark.bmp")));
  EXPECT_EQ(fs::read_symlink(userFolder() / "theme/new.bmp"), installed() / "theme/new.bmp");
  // A data file the user deleted comes back from the installed folder.
  EXPECT_TRUE(fs::is_regular_file(userFolder() / "data/icon.bmp"));

  EXPECT_EQ(Snapshot(root() / "usr"), installedUpgraded) << "the second run wrote there";
  fs::remove(installed() / "theme/new.bmp");
  fs::copy_file(installed() / "theme/light.bmp", installed() / "theme/dark.bmp");
}

TEST_F(DebianPackage, TheUsersFolderIsWhereTheEnvironmentSays) {
  const struct {
    const char* rule;
    std::map<QString, QString> environment;
    fs::path folder;
  } cases[] = {
      {"YOMITOKI_HOME first",
       {{"YOMITOKI_HOME", QString::fromStdString((user_.path() / "mine").string())},
        {"XDG_DATA_HOME", QString::fromStdString((user_.path() / "xdg").string())}},
       user_.path() / "mine"},
      {"then the XDG data home",
       {{"XDG_DATA_HOME", QString::fromStdString((user_.path() / "xdg").string())}},
       user_.path() / "xdg/yomitoki"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(RunLauncher(c.environment), (c.folder / "tavik-hpc2k").string());
    EXPECT_TRUE(fs::is_regular_file(c.folder / "data/tavik.dat"));
  }
}

}  // namespace
}  // namespace yk
