// The window title drawn for real through the window buffer's drawing context.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <vector>

#include "host/tests/core_test_support.h"

namespace yk {
namespace {

using testing::HostFixture;
using testing::PixelOf;

constexpr testing::Pixel kBlack = {0, 0, 0};

TEST(WindowChrome, TitleTextIsDrawnInBlackInsideTheTitleBoxOnly) {
  // Text goes through Qt, which needs an application object.
  static char name[] = "core_composer_test";
  static char* argv[] = {name, nullptr};
  static int argc = 1;
  std::unique_ptr<QGuiApplication> app;
  if (QGuiApplication::instance() == nullptr) app = std::make_unique<QGuiApplication>(argc, argv);
  HostFixture host;
  host.OpenWindows({{0, 0, 200, 60}});
  host.ctx->fontName.set(u"ＭＳ Ｐゴシック");
  // The same window drawn without and with its title: only the title box may differ, and
  // the name must leave black pixels there.
  host.windows->RenderWindow(0, true, false, false);
  const PixelBuffer window = host.WindowBuffer(0);
  const std::vector<uint8_t> plain(window.bits, window.bits + window.bytes);
  host.view.drawTitles = true;
  host.SlotAt(0).name.set(u"予定 Schedule");
  host.windows->RenderWindow(0, true, false, false);
  const PixelBuffer before{const_cast<uint8_t*>(plain.data()), window.width, window.height,
                           window.bytes};
  int black = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool inTitleBox = x >= 22 && x < 158 && y >= 1 && y < 19;
      if (!inTitleBox) {
        ASSERT_EQ(PixelOf(window, x, y), PixelOf(before, x, y)) << x << "," << y;
      } else if (PixelOf(window, x, y) == kBlack) {
        ++black;
      }
    }
  }
  EXPECT_GT(black, 20);
}

}  // namespace
}  // namespace yk
