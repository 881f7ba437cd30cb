// Loads the built plugin the way the host does and drives it through its exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "common/tests/plugin_test_host.h"
#include "platform/bmp_file.h"
#include "platform/clock.h"
#include "platform/handles.h"
#include "platform/profile.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/modal_script.h"

namespace {

namespace fs = std::filesystem;
using platform::testing::MessageRecorder;
using platform::testing::ModalScript;

class SearchPluginTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "search_plugin_test";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) new QApplication(argc, argv);
  }

  void SetUp() override {
    ASSERT_TRUE(host_.LoadPlugin("YK_SEARCH_PLUGIN")) << host_.error();
    module_ = host_.module();

    WritePicture(folder_ / "plugin/tvk_search.dat");

    host_.OpenSlot(3, 200, 200);
    profile_ = host_.RegisterProfile();
    profile_->WriteInt(u"plugin_tavik_search", u"key0", 70);
    platform::SetClockOverride(platform::LocalTime{2004, 5, 7, 9, 0, 0, 5});
  }

  void TearDown() override { platform::SetClockOverride(std::nullopt); }

  template <typename F>
  F Export(const char* name) {
    return host_.Export<F>(name);
  }
  int32_t Init() { return Export<plg_init_fn>("plg_init")(ctx_, kPluginInitReserved, 3); }

  // A 170 x 150 picture: grey everywhere, one red pixel at (20, 0).
  static void WritePicture(const fs::path& path) {
    std::vector<uint8_t> pixels(170 * 150 * 3, 128);
    uint8_t* red = &pixels[(20 + 170 * 149) * 3];
    red[0] = 0, red[1] = 0, red[2] = 255;
    const auto file = platform::EncodeBmp24(170, 150, pixels.data());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  }

  yk::testing::PluginTestHost host_{"search_plugin"};
  void* module_ = nullptr;
  const fs::path& folder_ = host_.root();
  HostContext* const ctx_ = host_.ctx();
  platform::MemoryProfile* profile_ = nullptr;
  MessageRecorder recorder_;
};

TEST_F(SearchPluginTest, IdentityKeyTableAndQuietExports) {
  EXPECT_EQ(std::u16string(Export<plg_info_fn>("plg_info")()), u"検索・置換え屋");
  EXPECT_EQ(std::bit_cast<uint32_t>(Export<plg_version_fn>("plg_version")()), 0x3F800000u);
  EXPECT_EQ(Export<plg_valid_fn>("plg_valid")(), 0);
  EXPECT_EQ(dlsym(module_, "plg_config"), nullptr);

  ASSERT_EQ(Init(), 1);
  KeyTable* keys = Export<plg_keyconfig_fn>("plg_keyconfig")();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->count, 1);
  EXPECT_EQ(keys->entries[0].label.get(), u"検索する");
  EXPECT_EQ(keys->entries[0].key, 70);
  keys->entries[0].key = 71;  // as the host's key dialog writes it

  EXPECT_EQ(Export<plg_mouse_fn>("plg_mouse_down")(50, 50), 0);
  EXPECT_EQ(Export<plg_mouse_fn>("plg_mouse_move")(50, 50), 0);
  EXPECT_EQ(Export<plg_key_fn>("plg_key_down")(71), 0);
  EXPECT_EQ(Export<plg_key_fn>("plg_key_up")(72), 0);
  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyDataChanged), 0);

  Export<plg_destroy_fn>("plg_destroy")();
  EXPECT_EQ(profile_->GetInt(u"plugin_tavik_search", u"key0", 0), 71);
}

TEST_F(SearchPluginTest, DrawsItsPictureIntoItsContentArea) {
  ASSERT_EQ(Init(), 1);
  const yk::PixelBuffer window = yk::SlotBuffer(*ctx_, 3);
  ASSERT_NE(window.bits, nullptr);
  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyRedraw), kRequestRepaint);
  // The picture's column 20, row 0 lands at (25, 34) in a 200 x 200 window.
  const uint8_t* p = window.bits + (25 + 320 * (240 - 1 - 34)) * 3;
  EXPECT_EQ(p[2], 255);
  EXPECT_EQ(p[0], 0);
  const uint8_t* border = window.bits + (0 + 320 * (240 - 1 - 100)) * 3;
  EXPECT_EQ(border[0] + border[1] + border[2], 0) << "outside the content: untouched";
  Export<plg_destroy_fn>("plg_destroy")();
}

TEST_F(SearchPluginTest, AMissingPictureRefusesTheWindow) {
  fs::remove(folder_ / "plugin/tvk_search.dat");
  EXPECT_EQ(Init(), 0);
  EXPECT_EQ(recorder_.texts(),
            std::vector<std::u16string>{u"dataファイルの読み込みに失敗しました"});
  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyRedraw), 0);
}

// The whole path through the exports: a double tap opens the dialog; closing it without a
// change answers 0; the key opens it too.
TEST_F(SearchPluginTest, DoubleTapAndKeyOpenTheSearchDialog) {
  ASSERT_EQ(Init(), 1);
  int opened = 0;
  const ModalScript::Handler close = [&](QDialog* dialog) {
    if (dialog->windowTitle() == QStringLiteral("検索・置換")) ++opened;
    dialog->findChild<QPushButton*>(QStringLiteral("2"))->click();
  };
  auto doubleDown = Export<plg_mouse_fn>("plg_mouse_doubledown");
  auto up = Export<plg_mouse_fn>("plg_mouse_up");
  EXPECT_EQ(up(100, 100), 0) << "a single tap does nothing";
  EXPECT_EQ(doubleDown(100, 100), 0);
  ModalScript tapped(close);
  EXPECT_EQ(up(100, 100), 0);
  EXPECT_EQ(opened, 1);

  ModalScript keyed(close);
  EXPECT_EQ(Export<plg_key_fn>("plg_key_up")(70), 0);
  EXPECT_EQ(opened, 2);

  EXPECT_EQ(up(10, 30), 0);
  EXPECT_EQ(recorder_.texts().size(), 1u) << "the help glyph explains";
  Export<plg_destroy_fn>("plg_destroy")();
}

}  // namespace
