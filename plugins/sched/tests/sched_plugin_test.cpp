// Loads the built plugin the way the host does and drives it through its exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "common/bitmap_ops.h"
#include "common/plugin_interface.h"
#include "common/tests/plugin_test_host.h"
#include "platform/bmp_file.h"
#include "platform/profile.h"
#include "platform/testing/message_recorder.h"
#include "platform/testing/modal_script.h"

namespace {

namespace fs = std::filesystem;
using platform::testing::ModalScript;

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host_.LoadPlugin("YK_SCHED_PLUGIN")) << host_.error();
    module_ = host_.module();

    fs::create_directories(folder_ / "data/2004/5/7");
    WriteSkin(folder_ / "plugin/tvk_sched.dat");
    WriteUtf16(folder_ / "data/2004/5/7/sched.txt",
               u"(2004,05,07,10,00 2004,05,07,11,30 -1)(会議)\r\n");

    host_.OpenSlot(1, 200, 120);
    profile_ = host_.RegisterProfile();
    profile_->WriteInt(u"plugin_tavik_sched", u"key3", 55);
    // Hand-edited codes that no key has.
    profile_->WriteInt(u"plugin_tavik_sched", u"key5", 300);
    profile_->WriteInt(u"plugin_tavik_sched", u"key6", -7);
  }

  template <typename F>
  F Export(const char* name) {
    return host_.Export<F>(name);
  }

  static void WriteSkin(const fs::path& path) {
    std::vector<uint8_t> pixels(160 * 100 * 3, 255);
    for (size_t i = 0; i < pixels.size() / 2; ++i) pixels[i] = 0;  // dark lower half
    const auto file = platform::EncodeBmp24(160, 100, pixels.data());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  }
  static void WriteUtf16(const fs::path& path, std::u16string_view text) {
    std::ofstream out(path, std::ios::binary);
    for (char16_t ch : text) out.put(char(ch & 0xFF)), out.put(char(ch >> 8));
  }

  yk::testing::PluginTestHost host_{"sched_plugin"};
  void* module_ = nullptr;
  const fs::path& folder_ = host_.root();
  HostContext* const ctx_ = host_.ctx();
  platform::MemoryProfile* profile_ = nullptr;
};

TEST_F(PluginTest, DrawsIntoItsContentAreaOnly) {
  ASSERT_EQ(Export<plg_valid_fn>("plg_valid")(), 0);
  ASSERT_EQ(Export<plg_init_fn>("plg_init")(ctx_, kPluginInitReserved, 1), 1);

  const yk::PixelBuffer window = yk::SlotBuffer(*ctx_, 1);
  ASSERT_NE(window.bits, nullptr);
  yk::FillBlack(window, 0, 0, window.width, window.height);
  std::vector<uint8_t> before(window.bits, window.bits + window.bytes);

  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyRedraw), kRequestRepaint);

  int changedInside = 0, changedOutside = 0;
  for (int y = 0; y < window.height; ++y)
    for (int x = 0; x < window.width; ++x) {
      const size_t at = (size_t(x) + size_t(window.width) * size_t(window.height - 1 - y)) * 3;
      const bool changed = std::memcmp(window.bits + at, before.data() + at, 3) != 0;
      const bool inside = x >= 2 && x < 198 && y >= 20 && y < 118;
      (inside ? changedInside : changedOutside) += changed;
    }
  EXPECT_GT(changedInside, 196 * 98 / 2);
  EXPECT_EQ(changedOutside, 0);

  // Text was drawn into the list: some pixel of the entry's text rows is neither white
  // nor black-from-before (anti-aliased or black on white).
  int dark = 0;
  for (int y = 70; y < 90; ++y)
    for (int x = 7; x < 100; ++x) {
      const size_t at = (size_t(x) + size_t(window.width) * size_t(window.height - 1 - y)) * 3;
      dark += window.bits[at] < 128;
    }
  EXPECT_GT(dark, 0);
  Export<plg_destroy_fn>("plg_destroy")();
}

TEST_F(PluginTest, IdentityAndKeyTableRoundTrip) {
  EXPECT_EQ(std::u16string(Export<plg_info_fn>("plg_info")()), u"スケジュール");
  EXPECT_EQ(std::bit_cast<uint32_t>(Export<plg_version_fn>("plg_version")()),
            std::bit_cast<uint32_t>(1.01f));
  EXPECT_EQ(dlsym(module_, "plg_config"), nullptr);

  ASSERT_EQ(Export<plg_init_fn>("plg_init")(ctx_, kPluginInitReserved, 1), 1);
  KeyTable* keys = Export<plg_keyconfig_fn>("plg_keyconfig")();
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->count, 10);
  EXPECT_EQ(keys->entries[0].label.get(), u"前の日");
  EXPECT_EQ(keys->entries[9].label.get(), u"切り替え");
  EXPECT_EQ(keys->entries[3].key, 55);
  EXPECT_EQ(keys->entries[5].key, 0) << "a stored code outside 0..255 is no key";
  EXPECT_EQ(keys->entries[6].key, 0);
  keys->entries[4].key = 77;  // as the host's key dialog writes it

  Export<plg_destroy_fn>("plg_destroy")();
  EXPECT_EQ(profile_->GetInt(u"plugin_tavik_sched", u"key4", 0), 77);
  EXPECT_EQ(profile_->GetInt(u"plugin_tavik_sched", u"key3", 0), 55);
}

// Answers the edit dialog once it is up: remembers its text and presses a button.
ModalScript::Handler AnswerDialog(QString* text, const char* buttonId) {
  return [=](QDialog* dialog) {
    if (auto* edit = dialog->findChild<QPlainTextEdit*>()) *text = edit->toPlainText();
    if (auto* button = dialog->findChild<QPushButton*>(buttonId)) button->click();
  };
}

TEST_F(PluginTest, DoubleTapOpensTheEntryInTheEditDialog) {
  ASSERT_EQ(Export<plg_init_fn>("plg_init")(ctx_, kPluginInitReserved, 1), 1);
  Export<plg_notify_fn>("plg_notify")(kNotifyRedraw);
  auto down = Export<plg_mouse_fn>("plg_mouse_down");
  auto doubleDown = Export<plg_mouse_fn>("plg_mouse_doubledown");
  auto up = Export<plg_mouse_fn>("plg_mouse_up");

  // A single tap on the entry opens nothing.
  EXPECT_EQ(down(50, 70), kRequestNone);
  EXPECT_EQ(up(50, 70), kRequestNone);

  QString shown;
  ModalScript cancel(AnswerDialog(&shown, "2"));  // ｷｬﾝｾﾙ
  EXPECT_EQ(doubleDown(50, 70), kRequestNone);
  EXPECT_EQ(up(50, 70), kRequestNone);
  EXPECT_TRUE(cancel.done());
  EXPECT_EQ(shown, QStringLiteral("会議"));

  ctx_->changeFlags = 0;
  ctx_->changeDay = 9;
  ModalScript modify(AnswerDialog(&shown, "1027"));  // 修正, unchanged: stored again
  EXPECT_EQ(doubleDown(50, 70), kRequestNone);
  EXPECT_EQ(up(50, 70), kRequestBroadcastData);
  EXPECT_TRUE(modify.done());
  EXPECT_EQ(ctx_->changeFlags, kChangeSchedules);
  EXPECT_EQ(ctx_->changeDay, 0);
  Export<plg_destroy_fn>("plg_destroy")();
}

TEST_F(PluginTest, MissingSkinRefusesToStart) {
  fs::remove(folder_ / "plugin/tvk_sched.dat");
  platform::testing::MessageRecorder messages;
  EXPECT_EQ(Export<plg_init_fn>("plg_init")(ctx_, kPluginInitReserved, 1), 0);
  EXPECT_EQ(messages.texts(),
            (std::vector<std::u16string>{u"dataファイルの読み込みに失敗しました"}));
  // Without an instance every call is a no-op.
  EXPECT_EQ(Export<plg_notify_fn>("plg_notify")(kNotifyRedraw), 0);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
