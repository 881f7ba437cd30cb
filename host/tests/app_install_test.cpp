// The installed program: `cmake --install` lays out a program folder, the host runs from
// it offscreen with test plugins in two windows, a second copy only knocks, and an orderly
// end (SIGTERM) stores the settings and the layout.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <chrono>
#include <thread>

#include "host/tests/app_test_support.h"

namespace yk {
namespace {

namespace fs = std::filesystem;
using testing::FileStamp;
using testing::StampOf;
using testing::TempFolder;

class InstalledHost : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(testing::InstallBuildInto(prefix()));
    fs::create_directories(config());
    fs::create_directories(runtime());
    fs::permissions(runtime(), fs::perms::owner_all, fs::perm_options::replace);
  }

  fs::path prefix() const { return root_.path() / "program"; }
  fs::path config() const { return root_.path() / "config"; }
  fs::path runtime() const { return root_.path() / "run"; }
  fs::path settingsFile() const { return config() / "Vantor Studio" / "tavik-hpc2k.conf"; }

  void StartHost(QProcess& host) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(config().string()));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime().string()));
    env.insert("TMPDIR", QString::fromStdString(runtime().string()));
    env.remove("LD_LIBRARY_PATH");
    host.setProcessEnvironment(env);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host.start(QString::fromStdString((prefix() / "tavik-hpc2k").string()), {});
  }

  TempFolder root_{"install"};
};

TEST_F(InstalledHost, ProgramFolderHoldsTheProgramItsLibraryAndPictures) {
  for (const char* file : {"tavik-hpc2k", "libyomitoki_platform.so", "data/tavik.dat"}) {
    SCOPED_TRACE(file);
    EXPECT_TRUE(fs::is_regular_file(prefix() / file));
  }
  // The user's pictures survive a reinstall.
  const std::vector<uint8_t> mine = {'m', 'i', 'n', 'e'};
  testing::WriteBytes(prefix() / "data" / "tavik.dat", mine);
  QProcess again;
  again.start(QStringLiteral(YK_CMAKE_COMMAND),
              {"--install", QStringLiteral(YK_BUILD_DIR), "--prefix",
               QString::fromStdString(prefix().string())});
  ASSERT_TRUE(again.waitForFinished(120000));
  EXPECT_EQ(testing::ReadBytes(prefix() / "data" / "tavik.dat"), mine);
}

TEST_F(InstalledHost, RunsWithPluginsAndStoresTheLayoutOnAnOrderlyEnd) {
  const std::string plugins = YK_TEST_PLUGIN_DIR;
  {
    fs::create_directories(settingsFile().parent_path());
    QSettings seed(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
    seed.beginGroup("setting");
    seed.setValue("firsttime", "1");
    seed.setValue("wingrid", "0");
    seed.setValue("win_num", "2");
    const struct {
      int left, top, width, height;
      std::string plugin;
    } windows[] = {{0, 0, 240, 150, plugins + "/rec_a.plg"},
                   {200, 120, 300, 200, plugins + "/rec_b.plg"}};
    for (int i = 0; i < 2; ++i) {
      const QString n = QString::number(i);
      seed.setValue("winleft" + n, QString::number(windows[i].left));
      seed.setValue("wintop" + n, QString::number(windows[i].top));
      seed.setValue("winwidth" + n, QString::number(windows[i].width));
      seed.setValue("winheight" + n, QString::number(windows[i].height));
      seed.setValue("winplg" + n, QString::fromStdString(windows[i].plugin));
    }
    seed.endGroup();
    seed.sync();
  }
  const FileStamp seeded = StampOf(settingsFile());

  QProcess host;
  StartHost(host);
  ASSERT_TRUE(host.waitForStarted(10000));
  // The initial update ends by writing "firsttime": the host is up once the file changed.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (StampOf(settingsFile()) == seeded && std::chrono::steady_clock::now() < deadline &&
         host.state() == QProcess::Running) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(host.state(), QProcess::Running);
  ASSERT_NE(StampOf(settingsFile()), seeded) << "the host never finished starting";

  // A second copy only asks the first to come to the front and ends.
  QProcess second;
  StartHost(second);
  ASSERT_TRUE(second.waitForFinished(30000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(host.state(), QProcess::Running);

  host.terminate();  // SIGTERM: closes like "終了"
  ASSERT_TRUE(host.waitForFinished(30000));
  EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(host.exitCode(), 0);

  QSettings stored(QString::fromStdString(settingsFile().string()), QSettings::IniFormat);
  stored.beginGroup("setting");
  const std::pair<const char*, QString> expected[] = {
      {"win_num", "2"},
      {"winplg0", QString::fromStdString(plugins + "/rec_a.plg")},
      {"winplg1", QString::fromStdString(plugins + "/rec_b.plg")},
      {"winleft1", "200"},
      {"wintop1", "120"},
      {"winwidth1", "300"},
      {"winheight0", "150"},
      {"wingrid", "5"},
      {"focuswin", "1"},
      {"transwin", "0"},
      {"font", QString::fromUtf8("ＭＳ Ｐゴシック")},
      {"firsttime", "1"},
      // The main window: a first start opens a view of 800 x 600, not maximised.
      {"mainwidth", "800"},
      {"mainmax", "0"},
      {"scale", "0"},
  };
  for (const auto& [key, value] : expected) {
    SCOPED_TRACE(key);
    EXPECT_EQ(stored.value(key).toString(), value);
  }
}

}  // namespace
}  // namespace yk
